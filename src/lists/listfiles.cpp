#include "lists/listfiles.h"

#include "settings/systementry.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

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

std::optional<QString> readWholeFileText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const qsizetype nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

std::optional<QString> readPreviewListText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::System);
    stream.readLine(); // the header
    stream.readLine(); // the empty line below it
    return stream.readAll();
}

QString explorerArguments(const QString &romPath)
{
    return u'"' + QString(romPath).replace(u'/', u'\\') + u'"';
}
