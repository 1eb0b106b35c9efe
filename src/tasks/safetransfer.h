#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

// Moves and copies that never replace anything: each lands on a name only while that name is
// free, and a failure leaves the source where it was and nothing under the target name.
enum class TransferResult {
    Done,
    TargetTaken, // something (a file, a directory, a dangling link) already has the name
    Failed,
};

// True when anything at all has that name, a link to nowhere included.
bool nameTaken(const QString &path);

// A rename; onto another file system, a copy as below, then the source removed (a link is made
// anew). Should the source stay, so does nothing at the target: the file is in one place only.
TransferResult moveWithoutReplacing(const QString &from, const QString &to);

// Copies a regular file, or what a link leads to when that is one; anything else (a FIFO, a
// device) fails. The copy is written as an unnamed file in the target's folder (where the file
// system has none, under a hidden name of its own, and part files that earlier copies cut short
// left there are removed), gets the source's permissions, and takes the target name only once
// its data is on the disk.
TransferResult copyWithoutReplacing(const QString &from, const QString &to);

// Copies into one folder whose data reaches the disk together. Each is written as
// copyWithoutReplacing writes it, and holds a descriptor until it is published; publish() syncs
// the file system once, only then gives each copy its target name, and makes the names durable
// too. A power cut never leaves a short file under a target name, and a hundred copies cost one
// sync.
class CopyBatch
{
public:
    explicit CopyBatch(const QString &folder);
    ~CopyBatch(); // copies not published are removed
    CopyBatch(const CopyBatch &) = delete;
    CopyBatch &operator=(const CopyBatch &) = delete;

    // False when the copy could not be written (a FIFO, a device, an unreadable file, a full
    // disk); nothing is then left behind.
    bool add(const QString &from, const QString &to);
    qsizetype size() const { return qsizetype(m_staged.size()); }
    // Each source added since the last publish, in that order, with what became of its copy.
    QList<std::pair<QString, TransferResult>> publish();

private:
#ifdef Q_OS_WIN
    QList<std::pair<QString, TransferResult>> m_staged;
#else
    struct Staged; // a copy written, waiting for its name
    std::vector<std::unique_ptr<Staged>> m_staged;
    int m_folder; // the folder's descriptor, for the syncs
#endif
};

#ifndef Q_OS_WIN
// The same on paths as the file system spells them, for names that are not valid in the
// locale's encoding (a Latin-1 name from an old archive).
bool nameTaken(const QByteArray &path);
TransferResult moveWithoutReplacing(const QByteArray &from, const QByteArray &to);
#endif
