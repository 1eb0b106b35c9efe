#include "goodtool/goodinfo.h"

#include <QFile>

namespace {

QString withoutTrailingSpace(const QString &line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
        --end;
    return line.left(end);
}

} // namespace

GoodinfoSection readGoodinfoSection(const QString &path, const QString &header)
{
    GoodinfoSection section;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return section;
    section.fileFound = true;

    bool inSection = false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &bytes : lines) {
        const QString line = withoutTrailingSpace(QString::fromUtf8(bytes));
        if (line.startsWith(u'[') && !line.contains(u';')) {
            if (inSection)
                break;
            inSection = line == header;
            section.sectionFound = section.sectionFound || inSection;
            continue;
        }
        if (!inSection || !line.endsWith(QLatin1String(";n")))
            continue;
        // An empty flag text would be found in every name.
        const QString flag = line.section(u';', 0, 0);
        if (!flag.isEmpty())
            section.unwantedFlags << flag;
    }
    return section;
}

bool isUnwanted(const QString &name, const QStringList &unwantedFlags)
{
    for (const QString &flag : unwantedFlags) {
        if (name.contains(flag))
            return true;
    }
    return false;
}
