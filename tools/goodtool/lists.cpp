#include "goodtool/lists.h"

#include "goodtool/goodinfo.h"
#include "goodtool/romdatabase.h"

#include <QSaveFile>

#include <algorithm>

namespace {

void sortNames(QStringList &names)
{
    // Names equal but for case keep a fixed order between them.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

bool writeList(const QString &path, const QString &header, QStringList names, QString *error)
{
    sortNames(names);
    QByteArray text = header.toUtf8() + "\r\n\r\n";
    for (const QString &name : std::as_const(names))
        text += name.toUtf8() + "\r\n";

    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace

ListCounts countLists(const RomDatabase &database, const QSet<QString> &haveNames,
                      const QStringList &unwantedFlags)
{
    ListCounts counts;
    counts.have = int(haveNames.size());
    counts.known = int(database.entries().size());
    for (const RomEntry &entry : database.entries()) {
        if (isUnwanted(entry.name, unwantedFlags))
            continue;
        ++counts.wanted;
        if (!haveNames.contains(entry.name))
            counts.missingNames << entry.name;
    }
    counts.missing = int(counts.missingNames.size());
    return counts;
}

bool writeLists(const QDir &dir, const QString &base, const RomDatabase &database,
                const QSet<QString> &haveNames, const ListCounts &counts, QString *error)
{
    const QString version = QStringLiteral("(V%1)").arg(database.version());
    const QString haveHeader = QStringLiteral(" You have %1 of %2 known %3 ROMS %4")
                                   .arg(counts.have)
                                   .arg(counts.known)
                                   .arg(database.system(), version);
    const QString missHeader = QStringLiteral(" You are missing %1 of %2 known %3 ROMS %4")
                                   .arg(counts.missing)
                                   .arg(counts.wanted)
                                   .arg(database.system(), version);
    return writeList(dir.filePath(base + QLatin1String("Have.txt")), haveHeader,
                     QStringList(haveNames.cbegin(), haveNames.cend()), error) &&
           writeList(dir.filePath(base + QLatin1String("Miss.txt")), missHeader,
                     counts.missingNames, error);
}
