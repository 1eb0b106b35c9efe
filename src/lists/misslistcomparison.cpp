#include "lists/misslistcomparison.h"

#include "settings/atomicwrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

// A list that can not be opened is read as empty; false tells the caller to warn about it.
bool readListFile(const QString &path, MissListEntries *list)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *list = MissListEntries::fromBytes(file.readAll());
    return true;
}

} // namespace

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
    m_yourOpened = m_theirOpened = false;
    m_failedOutput.clear();
    m_error.clear();
    if (!QFile::exists(m_yourPath) || !QFile::exists(m_theirPath))
        return Outcome::ListNotFound;

    // Both lists are read whole before anything is written, so an output may replace a list.
    MissListEntries yours;
    MissListEntries theirs;
    m_yourOpened = readListFile(m_yourPath, &yours);
    m_theirOpened = readListFile(m_theirPath, &theirs);

    if (!write(theyNeedPath(), entriesMissingFrom(theirs.entries(), yours.entries())))
        return Outcome::WriteFailed;
    if (!write(iNeedPath(), entriesMissingFrom(yours.entries(), theirs.entries())))
        return Outcome::WriteFailed;
    return Outcome::Complete;
}

bool MissListComparison::write(const QString &path, const QByteArray &bytes)
{
    if (writeFileAtomically(path, bytes, &m_error))
        return true;
    m_failedOutput = path;
    return false;
}
