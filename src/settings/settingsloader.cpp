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
    m_lineNumber = 0;
    LineReader reader(device);
    QString line;
    while (reader.readLine(line)) {
        ++m_lineNumber;
        readLine(line, settings, table, result);
    }
    // A block ends with its file: the next load starts afresh.
    if (m_blockLines != 0)
        dropBlock();
    return result;
}

void SettingsLoader::readLine(const QString &line, GlobalSettings &settings, SystemTable &table,
                              Result &result)
{
    // Only the text after the first "=" is the value; a line without "=" is all value.
    const qsizetype equals = line.indexOf(u'=');
    const QString value = (equals < 0 ? line : line.mid(equals + 1)).trimmed();

    // Keys are tested as case-sensitive prefixes, so "Loader=true" counts as the Load line.
    // "Wine" lines of older files, like any other line, are ignored: a tool that is a Windows
    // program is always started through wine.
    if (line.startsWith(QLatin1String("Good*.exe"))) {
        settings.configuredGoodExeDir = normalisedDirectory(value);
        settings.goodExeDir = resolvedDirectory(settings.configuredGoodExeDir, m_baseDirectory);
    } else if (line.startsWith(QLatin1String("Load"))) {
        settings.loadSummaryAtStartup = isTrue(value);
    } else if (line.startsWith(QLatin1String("Same"))) {
        settings.sameAsRomPath = isTrue(value);
    } else if (line.startsWith(QLatin1String("Check"))) {
        settings.checkVersionAtStartup = isTrue(value);
    } else if (line.isEmpty()) {
        m_emptyLineAfterBlock = m_blockLines != 0;
    } else if (const LineKind kind = systemLineKind(line); kind != NoSystemLine) {
        if (beginsNextBlock(kind))
            dropBlock();
        takeSystemLine(kind, line, value, result);
        if (m_blockLines == AllLines) {
            completeSystem(settings, table, result);
            m_blockLines = 0;
        }
    }
}

SettingsLoader::LineKind SettingsLoader::systemLineKind(const QString &line) const
{
    if (line.startsWith(QLatin1String("Rom")))
        return RomLine;
    if (line.startsWith(u'['))
        return KeyLine;
    if (line.startsWith(QLatin1String("File")))
        return FileLine;
    return NoSystemLine;
}

// A block holds one line of each kind. Blocks are written key first with an empty line after
// each, so a key after an empty line does not belong to the key-less lines before it; without
// the empty line it may (the key may come last).
bool SettingsLoader::beginsNextBlock(LineKind kind) const
{
    return (m_blockLines & kind) != 0 ||
           (kind == KeyLine && m_blockLines != 0 && m_emptyLineAfterBlock);
}

void SettingsLoader::takeSystemLine(LineKind kind, const QString &line, const QString &value,
                                    Result &result)
{
    if (m_blockLines == 0)
        m_blockStart = m_lineNumber;
    m_blockLines |= kind;
    m_emptyLineAfterBlock = false;
    if (kind == RomLine) {
        m_romPath = normalisedDirectory(value);
    } else if (kind == KeyLine) {
        // The key is not trimmed: "[Gen =Genesis" has the key "[Gen ".
        m_key = line.left(line.indexOf(u'='));
        m_systemName = value;
        result.sectionKeys.append(m_key);
    } else {
        m_toolFile = value;
    }
}

void SettingsLoader::dropBlock()
{
    QStringList missing;
    if (!(m_blockLines & RomLine))
        missing << QStringLiteral("Rom");
    if (!(m_blockLines & FileLine))
        missing << QStringLiteral("File");
    if (m_blockLines & KeyLine) {
        qCWarning(lcSettings, "Tessary.ini line %lld: %s left out, it has no %s line",
                  qlonglong(m_blockStart), qUtf8Printable(m_key),
                  qUtf8Printable(missing.join(QLatin1String(" or "))));
    } else {
        qCWarning(lcSettings, "Tessary.ini line %lld: lines without a key line left out",
                  qlonglong(m_blockStart));
    }
    m_blockLines = 0;
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
    const QString tool =
        toolPath(settings.goodExeDir, entry.toolFile, entry.romPath, settings.sameAsRomPath);
    // A folder where the tool should be is no tool: it could never start.
    if (!QFileInfo(tool).isFile()) {
        qCInfo(lcSettings, "%s not offered: no tool file %s", qUtf8Printable(entry.key),
               qUtf8Printable(tool));
    } else if (!QDir(entry.romPath).exists()) {
        qCInfo(lcSettings, "%s not offered: no ROM directory %s", qUtf8Printable(entry.key),
               qUtf8Printable(entry.romPath));
    } else {
        qCInfo(lcSettings, "%s offered", qUtf8Printable(entry.key));
        result.offeredSystems.append(selectorText(entry));
    }
}
