#include "demo/democollection.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSaveFile>

namespace {

const QByteArray junkTag("DiskDude!");

// File name, good name (empty: unknown to the database), and for NES whether the header
// carries junk.
struct RomRow
{
    const char *fileName;
    const char *goodName;
    bool junk;
};

DemoSystem makeSystem(const char *key, const char *title, const char *directory,
                      const char *databaseSystem, std::initializer_list<RomRow> rows,
                      std::initializer_list<const char *> missing,
                      std::initializer_list<const char *> goodinfo)
{
    DemoSystem system;
    system.key = QString::fromLatin1(key);
    system.title = QString::fromLatin1(title);
    system.directory = QString::fromLatin1(directory);
    system.databaseSystem = QString::fromLatin1(databaseSystem);
    for (const RomRow &row : rows) {
        DemoRom rom;
        rom.fileName = QString::fromUtf8(row.fileName);
        rom.goodName = QString::fromUtf8(row.goodName);
        // Unknown files take their content from their own name, known ones from the good name,
        // so two files of one good name are a duplicate pair.
        const QString seed = rom.goodName.isEmpty() ? rom.fileName : rom.goodName;
        rom.content = demoRomContent(system.key, seed, row.junk ? junkTag : QByteArray());
        system.roms << rom;
    }
    for (const char *name : missing)
        system.missingNames << QString::fromUtf8(name);
    for (const char *line : goodinfo)
        system.goodinfoLines << QString::fromUtf8(line);
    return system;
}

QByteArray filler(const QByteArray &seed, int size)
{
    QByteArray bytes;
    QByteArray block = seed;
    while (bytes.size() < size) {
        block = QCryptographicHash::hash(block, QCryptographicHash::Sha256);
        bytes += block;
    }
    bytes.truncate(size);
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &content, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace

RomDatabase DemoSystem::database() const
{
    RomDatabase database(databaseSystem, QStringLiteral("0.1 DEMO"));
    for (const DemoRom &rom : roms) {
        if (!rom.goodName.isEmpty())
            database.add(romChecksum(rom.content), rom.goodName); // a duplicate adds nothing
    }
    for (const QString &name : missingNames)
        database.add(romChecksum(demoRomContent(key, name)), name);
    return database;
}

QList<DemoSystem> demoSystems()
{
    return {
        makeSystem(
            "GBA", "Game Boy Advance", "GBA", "Game Boy Advance",
            {{"comet_courier.gba", "Comet Courier (U) [!]", false},
             {"comet courier (e) bad.gba", "Comet Courier (E) [b1]", false},
             {"lantern_keep_eng.gba", "Lantern Keep (J) [T+Eng1.1]", false},
             {"Lantern Keep (J) [!].gba", "Lantern Keep (J) [!]", false},
             {"tinytactics.gba", "Tiny Tactics Demo (PD)", false}},
            {"Comet Courier (U) [o1]", "Lantern Keep (J) [h1]", "Tiny Tactics Demo (PD) [t1]"},
            {"[b;Bad dumps;", "[o;Overdumps;n", "[h;Hacks;n", "Hack);", "(PD);", "[T;", "[f;",
             "[p;", "[t;Trainers;n"}),
        makeSystem("Gen", "Sega Genesis", "Genesis", "Sega Genesis/Mega Drive",
                   {{"astro_blaster.gen", "Astro Blaster (U) [!]", false},
                    {"astro_blaster_b1.gen", "Astro Blaster (U) [b1]", false},
                    {"astro-hack.smd", "Astro Blaster (U) [h1]", false},
                    {"castle-e.gen", "Castle of Mirrors (E) [!]", false},
                    {"castle_copy.gen", "Castle of Mirrors (E) [!]", false},
                    {"castle-j-eng.smd", "Castle of Mirrors (J) [T+Eng]", false},
                    {"neon_knights.bin", "Neon Knights (JU) [o1]", false},
                    {"pixelracer.gen", "Pixel Racer (PD)", false},
                    {"turbo dash hack.gen", "Turbo Dash (U) (Hack)", false},
                    {"homebrew_test.gen", "", false}},
                   {"Neon Knights (JU) [!]", "Turbo Dash (U) [!]", "Castle of Mirrors (U) [!]",
                    "Pixel Racer (PD) [b1]", "Astro Blaster (U) [T+Fre]"},
                   {"[b;;n", "[o;Overdumps;", "[h;", "Hack);Hacks;n", "(PD);", "[T;", "[f;", "[p;",
                    "[t;"}),
        makeSystem("NES", "Nintendo NES", "NES", "Nintendo Famicom/NES",
                   {{"dragonpeak.nes", "Dragon Peak (J) [!]", true},
                    {"dragon_peak_eng.nes", "Dragon Peak (J) [T+Eng1.0]", true},
                    {"dragonpeak-b2.nes", "Dragon Peak (J) [b2]", false},
                    {"frog ferry.nes", "Frog Ferry (U) [!]", true},
                    {"frogferry_h1c.nes", "Frog Ferry (U) [h1C]", false},
                    {"rocketmole.nes", "Rocket Mole (PD)", false},
                    {"starlancer.nes", "Star Lancer (E) (Hack) [a1]", true},
                    {"mystery_cart.nes", "", false}},
                   {"Star Lancer (E) [!]", "Frog Ferry (E) [!]", "Rocket Mole (PD) [t1]",
                    "Dragon Peak (J) [o2]"},
                   {"[b;Bad dumps;n", "[o;;n", "[h;", "Hack);", "(PD);", "[T;", "[f;", "[p;",
                    "[t;Trainers;"}),
        makeSystem("SNES", "Super Nintendo", "SNES", "Super Nintendo/Super Famicom",
                   {{"harbor_lights.smc", "Harbor Lights (U) [!]", false},
                    {"harbor_lights_f1.swc", "Harbor Lights (U) [f1]", false},
                    {"quartz-quest-ger.smc", "Quartz Quest (J) [T-Ger]", false},
                    {"quartzquest.fig", "Quartz Quest (J) [!]", false},
                    {"super_runner_hack.smc", "Super Runner (U) (Hack)", false},
                    {"wind garden.swc", "Wind Garden (E) [b1][o1]", false},
                    {"sound_test.smc", "", false}},
                   {"Wind Garden (E) [!]", "Super Runner (U) [!]", "Harbor Lights (E) [p1]",
                    "Quartz Quest (J) [T+Eng0.9]"},
                   {"[b;", "[o;", "[h;", "Hack);", "(PD);Public domain;", "[T;", "[f;Fixed;",
                    "[p;Pirates;n", "[t;"}),
    };
}

DemoSystem demoSystem(const QString &key)
{
    const QList<DemoSystem> systems = demoSystems();
    for (const DemoSystem &system : systems) {
        if (system.key == key)
            return system;
    }
    return {};
}

QByteArray demoRomContent(const QString &key, const QString &seed, const QByteArray &junk)
{
    const QByteArray text = "Tessary demo ROM, " + key.toUtf8() + ": " + seed.toUtf8() + '\n';
    const QByteArray digest = QCryptographicHash::hash(text, QCryptographicHash::Sha1);
    const int size = 256 + quint8(digest.at(0)) * 7;
    const QByteArray body = text + filler(digest, qMax(0, size - int(text.size())));
    return key == u"NES" ? Ines::image(body, junk) : body;
}

QByteArray demoGoodinfo(const QList<DemoSystem> &systems)
{
    QByteArray text;
    for (const DemoSystem &system : systems) {
        text += '[' + system.key.toUtf8() + "\r\n";
        for (const QString &line : system.goodinfoLines)
            text += line.toUtf8() + "\r\n";
        text += "\r\n";
    }
    return text;
}

bool installDemoTool(const DemoSystem &system, const QString &goodtoolPath, const QString &toolDir,
                     QString *error)
{
    const QDir dir(toolDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("Cannot create %1").arg(toolDir);
        return false;
    }
    // Removed first: the file may be an old stand-in, or a copy that is running right now.
    const QString exe = dir.filePath(system.toolName());
    if (QFile::exists(exe) && !QFile::remove(exe)) {
        *error = QStringLiteral("Cannot replace %1").arg(exe);
        return false;
    }
    if (!QFile::copy(goodtoolPath, exe) ||
        !QFile::setPermissions(exe, QFile::permissions(goodtoolPath))) {
        *error = QStringLiteral("Cannot copy %1 to %2").arg(goodtoolPath, exe);
        return false;
    }
    const QString databasePath = dir.filePath(QStringLiteral("Good%1.dat").arg(system.key));
    return writeFile(databasePath, system.database().toText(), error);
}

QStringList writeMissingRoms(const DemoSystem &system, const QString &romDir, QString *error)
{
    const QDir dir(romDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("Cannot create %1").arg(romDir);
        return {};
    }
    QHash<QString, int> found;
    QDirIterator it(romDir, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (isRomFileName(it.fileName()))
            ++found[fileChecksum(path)];
    }
    // A duplicate pair needs its checksum found twice.
    QHash<QString, int> wanted;
    for (const DemoRom &rom : system.roms)
        ++wanted[romChecksum(rom.content)];

    QStringList written;
    for (const DemoRom &rom : system.roms) {
        const QString sum = romChecksum(rom.content);
        if (dir.exists(rom.fileName) || found.value(sum) >= wanted.value(sum))
            continue;
        if (!writeFile(dir.filePath(rom.fileName), rom.content, error))
            return written;
        ++found[sum];
        written << rom.fileName;
    }
    return written;
}

bool writeDemoLists(const DemoSystem &system, const QString &toolDir, const QString &romDir,
                    QString *error)
{
    QProcess tool;
    tool.setWorkingDirectory(romDir);
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.start(QDir(toolDir).filePath(system.toolName()), {QStringLiteral("list")});
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        *error = QStringLiteral("Cannot write the lists of %1: %2 list ended with %3 (%4)")
                     .arg(romDir, system.toolName())
                     .arg(tool.exitCode())
                     .arg(tool.errorString());
        return false;
    }
    return true;
}
