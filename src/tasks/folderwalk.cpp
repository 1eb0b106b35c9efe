#include "tasks/folderwalk.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

bool leadsElsewhere(const QFileInfo &folder)
{
    if (folder.isSymLink())
        return true;
#ifdef Q_OS_WIN
    const QString path = QDir::toNativeSeparators(folder.absoluteFilePath());
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
    return false;
#endif
}

QFileInfoList filesBelow(const QString &directory, bool recursive)
{
    QFileInfoList files;
    QStringList folders{directory};
    while (!folders.isEmpty()) {
        const QDir folder(folders.takeFirst());
        files += folder.entryInfoList(QDir::Files);
        if (!recursive)
            continue;
        for (const QFileInfo &inner : folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (!leadsElsewhere(inner))
                folders << inner.filePath();
        }
    }
    return files;
}
