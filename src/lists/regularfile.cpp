#include "lists/regularfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace {

RegularFileContents notRegular()
{
    return {RegularFileContents::NotRegular,
            {},
            QCoreApplication::translate("RegularFile", "Not a regular file")};
}

RegularFileContents failed(const QString &error)
{
    return {RegularFileContents::Failed, {}, error};
}

// Opens `file` at `path` for reading only when it is a regular file; otherwise the reason.
RegularFileContents openRegular(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    // Without O_NONBLOCK, opening a FIFO waits for a writer; fstat then looks at what was opened,
    // not at what the path named a moment before.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(qt_error_string(errno));
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return notRegular();
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(file.errorString());
    }
#else
    if (!QFileInfo(path).isFile())
        return notRegular();
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
#endif
    return {RegularFileContents::Read, {}, {}};
}

} // namespace

RegularFileContents readRegularFile(const QString &path, qint64 limit)
{
    QFile file;
    RegularFileContents contents = openRegular(file, path);
    if (contents.status != RegularFileContents::Read)
        return contents;

    // Sized once from the file's length; a file that grows while it is read gets more room.
    QByteArray &bytes = contents.bytes;
    bytes.resize(qMin(file.size(), limit));
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got >= limit)
                break;
            bytes.resize(qMin(limit, got + 65536));
        }
        const qint64 read = file.read(bytes.data() + got, bytes.size() - got);
        if (read < 0)
            return failed(file.errorString());
        if (read == 0)
            break;
        got += read;
    }
    bytes.truncate(got);
    if (got == limit) {
        char next;
        const qint64 more = file.read(&next, 1);
        if (more < 0)
            return failed(file.errorString());
        if (more > 0) {
            contents.status = RegularFileContents::Cut;
            contents.error = QCoreApplication::translate("RegularFile", "Longer than %1")
                                 .arg(QLocale::system().formattedDataSize(limit, 0));
        }
    }
    return contents;
}
