#include "lists/listfiles.h"

#include "lists/regularfile.h"
#include "settings/systementry.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTextStream>

namespace {

// The line a viewer adds below a file it shows only in part.
QString cutNote(qint64 limit)
{
    return QCoreApplication::translate("MainWindow",
                                       "\n\n[Only the first %1 of the file are shown.]")
        .arg(QLocale::system().formattedDataSize(limit, 0));
}

} // namespace

QString toolFileName(const QString &toolFile)
{
    const qsizetype lastSeparator = qMax(toolFile.lastIndexOf(u'/'), toolFile.lastIndexOf(u'\\'));
    return toolFile.mid(lastSeparator + 1);
}

QString listBaseName(const QString &toolFile)
{
    QString base = toolFileName(toolFile);
    base.remove(QLatin1String("Good"));
    base.remove(QLatin1String(".exe"));
    return base;
}

QString listPath(const QString &romPath, const QString &toolFile, const QString &suffix)
{
    return withTrailingSlash(romPath) + listBaseName(toolFile) + suffix;
}

QString previewListPath(const QString &toolFile)
{
    return QDir::tempPath() + u'/' + listBaseName(toolFile) + QLatin1String("Miss.txt");
}

std::optional<QString> readWholeFileText(const QString &path, qint64 limit)
{
    const RegularFileContents contents = readRegularFile(path, limit);
    if (contents.failed())
        return std::nullopt;
    const qsizetype nul = contents.bytes.indexOf('\0');
    if (nul >= 0)
        return QString::fromLatin1(QByteArrayView(contents.bytes).first(nul));
    QString text = QString::fromLatin1(contents.bytes);
    if (contents.status == RegularFileContents::Cut)
        text += cutNote(limit);
    return text;
}

std::optional<QString> readPreviewListText(const QString &path, qint64 limit)
{
    const RegularFileContents contents = readRegularFile(path, limit);
    if (contents.failed())
        return std::nullopt;
    // Read through a text-mode device as from the file itself: line ends become "\n".
    QBuffer buffer;
    buffer.setData(contents.bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    QTextStream stream(&buffer);
    stream.setEncoding(QStringConverter::System);
    stream.readLine(); // the header
    stream.readLine(); // the empty line below it
    QString text = stream.readAll();
    if (contents.status == RegularFileContents::Cut)
        text += cutNote(limit);
    return text;
}

QString explorerArguments(const QString &romPath)
{
    return u'"' + QString(romPath).replace(u'/', u'\\') + u'"';
}
