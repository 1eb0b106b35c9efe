#pragma once

#include <QByteArray>
#include <QString>

// What readRegularFile() found at a path.
struct RegularFileContents
{
    enum Status {
        Read,       // all of the file is in `bytes`
        Cut,        // the file is longer than the limit; `bytes` holds its first part
        NotRegular, // a folder, a FIFO, a device: nothing was read
        Failed,     // it could not be opened, or a read failed midway; see `error`
    };
    Status status = Failed;
    QByteArray bytes;
    QString error; // why `bytes` is not the whole file, when it is not

    bool complete() const { return status == Read; }
    bool failed() const { return status == NotRegular || status == Failed; }
};

// The most read of a file that a chore must see whole: far more than any list or configuration
// file, far less than would exhaust the memory.
constexpr qint64 WholeFileLimit = qint64(1) << 30;

// The first `limit` bytes of a regular file, read once into one buffer. Anything else at the
// path is refused before a byte is read, and the check is made on the opened file itself, so
// that a FIFO put there meanwhile cannot keep the caller waiting.
RegularFileContents readRegularFile(const QString &path, qint64 limit);
