#include "settings/atomicwrite.h"

#include "settings/linereader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("AtomicWrite", text);
}

// Empty when all of `bytes` are in the file, otherwise why not.
QString writeWhole(QFile &file, QIODevice::OpenMode mode, QByteArrayView bytes)
{
    const bool written =
        file.open(mode) && file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush();
    const QString error = written ? QString() : file.errorString();
    file.close();
    return written && file.error() != QFileDevice::NoError ? file.errorString() : error;
}

// For a folder that admits no new file: the file is written over. When that fails (a full disk),
// its previous bytes are written back, and `error` says what the file holds now.
bool writeInPlace(const QString &path, QByteArrayView bytes, QString *error)
{
    QFile file(path);
    const QByteArray previous = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    file.close();
    const QString reason =
        writeWhole(file, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text, bytes);
    if (reason.isEmpty())
        return true;
    const bool restored =
        writeWhole(file, QIODevice::WriteOnly | QIODevice::Truncate, previous).isEmpty();
    *error = reason + u'\n' +
             (restored ? tr("The file holds its previous content again.")
                       : tr("The file may be cut: its previous content could not be written "
                            "back."));
    return false;
}

} // namespace

bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *error)
{
    QString reason;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        // With no room for the new copy beside it, a file that may be written is written in place
        // rather than not at all.
        const bool inPlace = QFileInfo(path).isFile() && writeInPlace(path, bytes, &reason);
        if (error && !inPlace)
            *error = reason.isEmpty() ? file.errorString() : reason;
        return inPlace;
    }
    // The data must reach the disk before commit(): Qt 6.4 renames a file into place even when
    // the flush inside commit() fails, so a full disk would leave a cut file reported as saved.
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush() || !file.commit()) {
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
