#pragma once

#include <QString>

#include <optional>

// Where a system's Have and Miss lists are, and how the viewers read files.

// The tool file without the directory part of a full path ("/" or "\\" separated).
QString toolFileName(const QString &toolFile);

// The tool file name without every "Good" and every ".exe" (both case-sensitive): GoodGen.exe
// gives "Gen". A tool given as a full path names its lists by its file name, since the tool
// writes them into its working directory under that name.
QString listBaseName(const QString &toolFile);

// romPath (with "/" appended when it does not end in one) + base + suffix, with suffix "Have.txt"
// or "Miss.txt".
QString listPath(const QString &romPath, const QString &toolFile, const QString &suffix);

// The Miss list a preview run writes into the temporary directory.
QString previewListPath(const QString &toolFile);

// The most of a file a viewer shows: the text area holds several copies of what it shows, and
// a list of some hundred MiB would make the window crawl.
constexpr qint64 ViewerLimit = qint64(64) << 20;

// The bytes of a regular file as Latin-1 text, up to its first NUL byte; nothing when it is not
// a regular file or cannot be read. Of a file longer than `limit` only the first `limit` bytes
// are shown, followed by a note that says so.
std::optional<QString> readWholeFileText(const QString &path, qint64 limit = ViewerLimit);

// A preview list without its header and the empty line after it, decoded in the local 8-bit
// encoding; otherwise as readWholeFileText().
std::optional<QString> readPreviewListText(const QString &path, qint64 limit = ViewerLimit);

// The argument text Windows Explorer gets to open a ROM directory: the path with backslashes,
// in double quotes.
QString explorerArguments(const QString &romPath);
