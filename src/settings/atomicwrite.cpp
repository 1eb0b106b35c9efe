#include "settings/atomicwrite.h"

#include "settings/linereader.h"

#include <QSaveFile>

bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *error)
{
    QSaveFile file(path);
    // With no room for the new copy beside it, a file that may be written is written in place
    // rather than not at all.
    file.setDirectWriteFallback(true);
    // The data must reach the disk before commit(): Qt 6.4 renames a file into place even when
    // the flush inside commit() fails, so a full disk would leave a cut file reported as saved.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) ||
        file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool writeTextFileAtomically(const QString &path, const QString &text, QString *error)
{
    return writeFileAtomically(path, encodeLocal8Bit(text), error);
}
