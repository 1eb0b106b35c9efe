#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <functional>
#include <optional>

#ifdef Q_OS_WIN
#include <io.h> // chmod() for the tests that lock folders
#else
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace LockedFolder {

// Runs `work` while `folder` admits no new files and every file in it stays writable. Permission
// bits do not stop root, so as root `work` runs in a child process that has become the user
// "nobody" (the folder's parents must let that user through). Returns what `work` returned, or
// nothing when the condition cannot be made here.
inline std::optional<bool> runInLockedFolder([[maybe_unused]] const QString &folder,
                                             [[maybe_unused]] const std::function<bool()> &work)
{
#ifdef Q_OS_WIN
    return std::nullopt; // a folder's read-only attribute does not stop new files there
#else
    const QByteArray folderName = QFile::encodeName(folder);
    for (const QString &file : QDir(folder).entryList(QDir::Files))
        ::chmod(QFile::encodeName(folder + u'/' + file).constData(), 0666);
    if (::chmod(folderName.constData(), 0555) != 0)
        return std::nullopt;

    constexpr int CannotLock = 2;
    int status = CannotLock;
    if (::geteuid() != 0) {
        if (::access(folderName.constData(), W_OK) != 0)
            status = work() ? 0 : 1;
    } else if (const struct passwd *nobody = ::getpwnam("nobody")) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0 ||
                ::access(folderName.constData(), X_OK) != 0 ||
                ::access(folderName.constData(), W_OK) == 0) {
                ::_exit(CannotLock);
            }
            ::_exit(work() ? 0 : 1);
        }
        if (child < 0 || ::waitpid(child, &status, 0) != child)
            status = CannotLock;
        else
            status = WIFEXITED(status) ? WEXITSTATUS(status) : 1; // a crash is a failure
    }
    ::chmod(folderName.constData(), 0755);
    if (status == CannotLock)
        return std::nullopt;
    return status == 0;
#endif
}

} // namespace LockedFolder
