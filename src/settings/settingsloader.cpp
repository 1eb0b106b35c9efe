#include "settings/settingsloader.h"

#include "settings/installlayout.h"
#include "settings/linereader.h"

#include <QDir>
#include <QFileInfo>

Q_LOGGING_CATEGORY(lcSettings, "tessary.settings", QtWarningMsg)

namespace {

bool isTrue(const QString &value)
{
    return value.toLower() == QLatin1String("true");
}

} // namespace

QString settingsDirectory()
{
    return currentInstallLayout().settingsDirectory;
}

QString settingsFilePath()
{
    return settingsDirectory() + QLatin1String("/Tessary.ini");
}

QString normalisedDirectory(const QString &value)
{
    QString dir = value.trimmed();
    dir.replace(u'\\', u'/');
    return dir.isEmpty() ? dir : withTrailingSlash(dir);
}

QString resolvedDirectory(const QString &directory, const QString &base)
{
    if (directory.isEmpty() || !QDir::isRelativePath(directory))
        return directory;
    return withTrailingSlash(QDir::cleanPath(base + u'/' + directory));
}

QString toolPathToCheck(const SystemEntry &entry, const GlobalSettings &settings)
{
    if (!entry.toolFile.startsWith(QLatin1String("Good")))
        return entry.toolFile;
    return toolDirectory(entry.romPath, settings.goodExeDir, settings.sameAsRomPath) +
           entry.toolFile;
}

QString selectorText(const SystemEntry &entry)
{
    return entry.key + u' ' + entry.systemName;
}

QString selectorKey(const QString &selectorText)
{
    return selectorText.section(u' ', 0, 0);
}

SettingsLoader::SettingsLoader(const QString &baseDirectory)
    : m_baseDirectory(baseDirectory)
{
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
    // "Wine" lines of older files are accepted and ignored: a tool that is a Windows program is
    // always started through wine.
    if (line.startsWith(QLatin1String("Good*.exe"))) {
        settings.configuredGoodExeDir = normalisedDirectory(value);
        settings.goodExeDir = resolvedDirectory(settings.configuredGoodExeDir, m_baseDirectory);
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
    const SystemEntry entry{m_key, m_systemName, resolvedDirectory(m_romPath, m_baseDirectory),
                            m_toolFile, m_romPath};
    table.insert(entry.key, entry);
    if (entry.romPath.isEmpty()) {
        qCInfo(lcSettings, "%s not offered: no Rom Path", qUtf8Printable(entry.key));
        return;
    }
    const QString toolPath = toolPathToCheck(entry, settings);
    // A folder where the tool should be is no tool: it could never start.
    if (!QFileInfo(toolPath).isFile()) {
        qCInfo(lcSettings, "%s not offered: no tool file %s", qUtf8Printable(entry.key),
               qUtf8Printable(toolPath));
    } else if (!QDir(entry.romPath).exists()) {
        qCInfo(lcSettings, "%s not offered: no ROM directory %s", qUtf8Printable(entry.key),
               qUtf8Printable(entry.romPath));
    } else {
        qCInfo(lcSettings, "%s offered", qUtf8Printable(entry.key));
        result.offeredSystems.append(selectorText(entry));
    }
}
