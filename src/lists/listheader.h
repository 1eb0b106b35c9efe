#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The counts a Have or Miss list carries in its first line. Words are split at single
// spaces with empty words kept, so two spaces in a row shift every later position, and the
// leading space the tools write makes word 0 empty.
class ListHeader
{
public:
    explicit ListHeader(const QString &firstLine);

    QString word(int index) const; // empty when the line is shorter
    QString versionText() const;   // from the first "(" on, or the whole line

    // The first line of the file without its "\n" or "\r\n", decoded in the local 8-bit
    // encoding, cut after 4 KiB; nothing when it is no regular file or cannot be read. At most
    // 4 KiB of the file are read.
    static std::optional<ListHeader> read(const QString &path);

private:
    QString m_line;
    QStringList m_words;
};
