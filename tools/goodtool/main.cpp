// A stand-in GoodTool: copied as Good<Base>.exe beside a Good<Base>.dat database, it checks the
// ROM files in the working directory against that database the way the front end expects.

#include "goodtool/commands.h"
#include "goodtool/goodinfo.h"
#include "goodtool/options.h"
#include "goodtool/output.h"
#include "goodtool/romdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

struct Identity
{
    QString base;
    QDir toolDir;
};

// argv[0] rather than the resolved program path, so that a link named GoodNES.exe works as well
// as a copy. "GoodNES.exe" gives "NES"; a name without "Good" (the build's "goodtool") gives
// "Demo".
Identity identity(const char *argv0)
{
    const QString invoked = QString::fromLocal8Bit(argv0);
    const QFileInfo self(invoked.contains(u'/') ? invoked
                                                : QCoreApplication::applicationFilePath());
    QString base = self.fileName();
    const bool named = base.contains(QLatin1String("Good"));
    base.remove(QLatin1String("Good")).remove(QLatin1String(".exe"), Qt::CaseInsensitive);
    if (!named || base.isEmpty())
        base = QStringLiteral("Demo");
    return {base, self.absoluteDir()};
}

int showUsage(const QString &base)
{
    std::fputs(usageText(base).toUtf8().constData(), stdout);
    std::fputs("\nPress ENTER to continue\n", stdout);
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

QStringList loadExclusions(const Identity &self, const Options &options, Output &out)
{
    const QString section = options.configSection.isEmpty() ? self.base : options.configSection;
    const GoodinfoSection found =
        readGoodinfoSection(self.toolDir.filePath(QStringLiteral("Goodinfo.cfg")), u'[' + section);
    // Only a section asked for by name is worth a warning; most systems need none.
    if (!options.configSection.isEmpty()) {
        if (!found.fileFound)
            out.message(QStringLiteral("Warning: no Goodinfo.cfg beside the tool, nothing is "
                                       "excluded"));
        else if (!found.sectionFound)
            out.message(QStringLiteral("Warning: Goodinfo.cfg has no section %1, nothing is "
                                       "excluded")
                            .arg(section));
    }
    return found.unwantedFlags;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const Identity self = identity(argc > 0 ? argv[0] : "");
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty())
        return showUsage(self.base);

    const ParsedArguments parsed = parseArguments(arguments);
    if (!parsed.error.isEmpty()) {
        printError(parsed.error);
        return 2;
    }
    const Options &options = parsed.options;
    const QDir workDir = QDir::current();
    Output out(qEnvironmentVariableIntValue("GOODTOOL_PACE_MS"));
    for (const QString &word : options.acknowledged)
        out.message(
            QStringLiteral("Option %1 is accepted; this stand-in does not carry it out").arg(word));

    const QString databaseName = QStringLiteral("Good%1.dat").arg(self.base);
    QStringList warnings;
    RomDatabase database =
        RomDatabase::load(self.toolDir.filePath(databaseName), self.base, &warnings);
    for (const QString &warning : std::as_const(warnings))
        out.error(databaseName + QLatin1String(": ") + warning);

    Context context{self.base,         database, loadExclusions(self, options, out),
                    workDir,           options,  &out,
                    Checksums(workDir)};
    return runCommand(context);
}
