#include "settings/settingsloader.h"

#include "settings/linereader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

bool isTrue(const QString &value)
{
    return value.toLower() == QLatin1String("true");
}

} // namespace

QString settingsFilePath()
{
    return QCoreApplication::applicationDirPath() + QLatin1String("/Tessary.ini");
}

QString normalisedDirectory(const QString &value)
{
    QString dir = value.trimmed();
    dir.replace(u'\\', u'/');
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

QString toolPathToCheck(const SystemEntry &entry, const GlobalSettings &settings)
{
    if (!entry.toolFile.startsWith(QLatin1String("Good")))
        return entry.toolFile;
    return (settings.sameAsRomPath ? entry.romPath : settings.goodExeDir) + entry.toolFile;
}

QString selectorText(const SystemEntry &entry)
{
    return entry.key + u' ' + entry.systemName;
}

SettingsLoader::Result SettingsLoader::load(QIODevice *device, GlobalSettings &settings,
                                            SystemTable &table)
{
    Result result;
    m_systemLines = 0;
    LineReader reader(device);
    QString line;
    while (reader.readLine(line))
        readLine(line, settings, table, result);
    return result;
}

void SettingsLoader::readLine(const QString &line, GlobalSettings &settings, SystemTable &table,
                              Result &result)
{
    // Only the text after the first "=" is the value; a line without "=" is all value.
    const qsizetype equals = line.indexOf(u'=');
    const QString value = (equals < 0 ? line : line.mid(equals + 1)).trimmed();

    // Keys are tested as case-sensitive prefixes, so "Loader=true" counts as the Load line.
    // "Wine" lines of older files are accepted and ignored: how tools start is fixed at build time.
    if (line.startsWith(QLatin1String("Good*.exe"))) {
        settings.goodExeDir = normalisedDirectory(value);
    } else if (line.startsWith(QLatin1String("Load"))) {
        settings.loadSummaryAtStartup = isTrue(value);
    } else if (line.startsWith(QLatin1String("Same"))) {
        settings.sameAsRomPath = isTrue(value);
    } else if (line.startsWith(QLatin1String("Check"))) {
        settings.checkVersionAtStartup = isTrue(value);
    } else if (line.isEmpty() || line.startsWith(QLatin1String("Wine")) ||
               line.startsWith(QLatin1String("Good*"))) {
        return;
    } else if (readSystemLine(line, value, result) && m_systemLines == 3) {
        completeSystem(settings, table, result);
        m_systemLines = 0;
    }
}

bool SettingsLoader::readSystemLine(const QString &line, const QString &value, Result &result)
{
    if (line.startsWith(QLatin1String("Rom"))) {
        m_romPath = normalisedDirectory(value);
    } else if (line.startsWith(u'[')) {
        // The key is not trimmed: "[Gen =Genesis" has the key "[Gen ".
        m_key = line.left(line.indexOf(u'='));
        m_systemName = value;
        result.sectionKeys.append(m_key);
    } else if (line.startsWith(QLatin1String("File"))) {
        m_toolFile = value;
    } else {
        return false;
    }
    ++m_systemLines;
    return true;
}

void SettingsLoader::completeSystem(const GlobalSettings &settings, SystemTable &table,
                                    Result &result)
{
    const SystemEntry entry{m_key, m_systemName, m_romPath, m_toolFile};
    table.insert(entry.key, entry);
    if (entry.romPath.isEmpty())
        return;
    if (QFile::exists(toolPathToCheck(entry, settings)) && QDir(entry.romPath).exists())
        result.offeredSystems.append(selectorText(entry));
}
