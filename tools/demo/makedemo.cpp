// Lays out the demo collection beside tessary:
//   <dir>/Tessary.ini                    only when there is none; a user's file is never touched
//   <dir>/demo/GoodTools/Good<Base>.exe  fresh copies of the substitute tool, with their .dat
//   <dir>/demo/GoodTools/Goodinfo.cfg    only when there is none: the front end edits it
//   <dir>/demo/roms/<System>/            ROM files, written only where they are gone, and
//                                        the Have and Miss lists of a fresh "list" run
// Usage: make-demo <directory of tessary> <path of goodtool>

#include "demo/democollection.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

void say(const QString &text)
{
    std::printf("%s\n", text.toUtf8().constData());
}

bool writeIfMissing(const QString &path, const QByteArray &content)
{
    if (QFile::exists(path)) {
        say(QStringLiteral("Keeping the existing %1").arg(path));
        return true;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit()) {
        say(QStringLiteral("Wrote %1").arg(path));
        return true;
    }
    std::fprintf(stderr, "Cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
}

// The text-only demo of earlier builds wrote "<good name>.<ext>" files holding
// "DEMO-ROM [<key> <good name>" and the name's SHA-256. The tools know none of them, so they
// would sit in the collection as unknown files; a file is removed only when its content is
// exactly that.
void removeEarlierStandIns(const QString &romDir, const QString &key)
{
    const QDir dir(romDir);
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo &info : files) {
        const QByteArray name = info.completeBaseName().toUtf8();
        const QByteArray standIn =
            "DEMO-ROM [" + key.toUtf8() + ' ' + name + '\n' +
            QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex() + '\n';
        if (info.size() != standIn.size())
            continue;
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly) && file.readAll() == standIn) {
            file.close();
            if (file.remove())
                say(QStringLiteral("Removed %1, left by an earlier demo").arg(info.filePath()));
        }
    }
}

QByteArray settingsText(const QList<DemoSystem> &systems, const QDir &toolDir, const QDir &romsDir)
{
    QString text = QStringLiteral("Good*.exe Directory=%1/\n"
                                  "Same as Rom Path=false\n"
                                  "Check Version At Startup=false\n"
                                  "Load Summary At Startup=true\n\n")
                       .arg(toolDir.path());
    for (const DemoSystem &system : systems) {
        text += QStringLiteral("[%1=%2\nRom Path=%3/\nFile Name=%4\n\n")
                    .arg(system.key, system.title, romsDir.filePath(system.directory),
                         system.toolName());
    }
    return text.toUtf8();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: make-demo <directory of tessary> <path of goodtool>\n");
        return 2;
    }
    const QDir demoDir(QDir::cleanPath(QDir(arguments.at(1)).absolutePath()));
    const QString goodtool = arguments.at(2);
    const QDir toolDir(demoDir.filePath(QStringLiteral("demo/GoodTools")));
    const QDir romsDir(demoDir.filePath(QStringLiteral("demo/roms")));

    const QList<DemoSystem> systems = demoSystems();
    for (const DemoSystem &system : systems) {
        QString error;
        if (!installDemoTool(system, goodtool, toolDir.path(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        const QString romDir = romsDir.filePath(system.directory);
        removeEarlierStandIns(romDir, system.key);
        const QStringList written = writeMissingRoms(system, romDir, &error);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        say(QStringLiteral("%1: %2 and its database in %3, %4 ROM files written to %5")
                .arg(system.key, system.toolName(), toolDir.path())
                .arg(written.size())
                .arg(romDir));
    }
    if (!writeIfMissing(toolDir.filePath(QStringLiteral("Goodinfo.cfg")), demoGoodinfo(systems)))
        return 1;
    // After Goodinfo.cfg, whose exclusions the Miss lists count.
    for (const DemoSystem &system : systems) {
        QString error;
        const QString romDir = romsDir.filePath(system.directory);
        if (!writeDemoLists(system, toolDir.path(), romDir, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        say(QStringLiteral("%1: wrote its Have and Miss lists in %2").arg(system.key, romDir));
    }
    return writeIfMissing(demoDir.filePath(QStringLiteral("Tessary.ini")),
                          settingsText(systems, toolDir, romsDir))
               ? 0
               : 1;
}
