#include "lists/misslistcomparison.h"

#include "lists/regularfile.h"
#include "settings/atomicwrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

MissListEntries MissListEntries::fromBytes(const QByteArray &bytes)
{
    MissListEntries list;
    list.m_bytes = bytes;
    const QByteArrayView all(list.m_bytes);
    int headerLines = 2;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf('\n', start);
        const bool lastLine = end < 0;
        if (lastLine)
            end = all.size();
        QByteArrayView line = all.sliced(start, end - start);
        // "\r\n" ends a line, and so does a "\r" that is the file's last byte; any other CR
        // belongs to the entry.
        if (line.endsWith('\r'))
            line.chop(1);
        if (headerLines > 0)
            --headerLines;
        else
            list.m_entries.append(line);
        start = end + 1;
    }
    return list;
}

QByteArray entriesMissingFrom(const QList<QByteArrayView> &entries,
                              const QList<QByteArrayView> &other)
{
    QSet<QByteArrayView> present;
    present.reserve(other.size());
    for (const QByteArrayView entry : other)
        present.insert(entry);

    QByteArray out;
    for (const QByteArrayView entry : entries) {
        if (!present.contains(entry)) {
            out.append(entry);
            out.append('\n');
        }
    }
    return out;
}

MissListComparison::MissListComparison(const QString &yourPath, const QString &theirPath)
    : m_yourPath(yourPath)
    , m_theirPath(theirPath)
{
}

QString MissListComparison::theyNeedPath() const
{
    return QFileInfo(m_yourPath).path() + QLatin1String("/They_Need.txt");
}

QString MissListComparison::iNeedPath() const
{
    return QFileInfo(m_yourPath).path() + QLatin1String("/I_Need.txt");
}

MissListComparison::Outcome MissListComparison::run()
{
    m_failedList.clear();
    m_failedOutput.clear();
    m_error.clear();
    if (!QFile::exists(m_yourPath) || !QFile::exists(m_theirPath))
        return Outcome::ListNotFound;

    // Both lists are read whole before anything is written, so an output may replace a list. A
    // list read in part would give wrong results in place of the last good ones.
    MissListEntries yours;
    MissListEntries theirs;
    if (!readList(m_yourPath, &yours) || !readList(m_theirPath, &theirs))
        return Outcome::ReadFailed;

    if (!write(theyNeedPath(), entriesMissingFrom(theirs.entries(), yours.entries())))
        return Outcome::WriteFailed;
    if (!write(iNeedPath(), entriesMissingFrom(yours.entries(), theirs.entries())))
        return Outcome::WriteFailed;
    return Outcome::Complete;
}

bool MissListComparison::readList(const QString &path, MissListEntries *list)
{
    const RegularFileContents contents = readRegularFile(path, WholeFileLimit);
    if (!contents.complete()) {
        m_failedList = path;
        m_error = contents.error;
        return false;
    }
    *list = MissListEntries::fromBytes(contents.bytes);
    return true;
}

bool MissListComparison::write(const QString &path, const QByteArray &bytes)
{
    if (writeFileAtomically(path, bytes, &m_error))
        return true;
    m_failedOutput = path;
    return false;
}
