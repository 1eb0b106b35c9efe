#include "options.h"

namespace {

struct CommandWord
{
    const char *word;
    Command command;
    bool subdirs;
    int auditLevel;
};

const CommandWord commandWords[] = {
    {"rename", Command::Rename, false, 0},
    {"move", Command::Move, false, 0},
    {"scan", Command::Scan, false, 0},
    {"scand", Command::Scan, true, 0},
    {"scannew", Command::ScanNew, false, 0},
    {"scannewd", Command::ScanNew, true, 0},
    {"list", Command::List, false, 0},
    {"listd", Command::List, true, 0},
    // A plain "audit" (no level chosen in the front end) gives the first report.
    {"audit", Command::Audit, false, 1},
    {"audit1", Command::Audit, false, 1},
    {"audit2", Command::Audit, false, 2},
    {"audit3", Command::Audit, false, 3},
    {"audit4", Command::Audit, false, 4},
    {"audit5", Command::Audit, false, 5},
    {"convert", Command::Convert, false, 0},
    {"fixnes", Command::FixNes, false, 0},
};

const CommandWord *findCommand(const QString &word)
{
    for (const CommandWord &entry : commandWords) {
        if (word == QLatin1String(entry.word))
            return &entry;
    }
    return nullptr;
}

QString quoted(const QString &word)
{
    return u'"' + word + u'"';
}

// Applies one option word; false when the word is no option.
bool applyOption(const QString &word, Options &options)
{
    if (word == u"dirs")
        options.dirs = true;
    else if (word == u"inplace")
        options.inplace = true;
    else if (word == u"logmsgs")
        options.logMessages = true;
    else if (word == u"quiet")
        options.quiet = true;
    else if (word == u"nodb")
        options.noDb = true;
    else if (word == u"deep")
        options.deep = true;
    else if (word == u"nosep" || word == u"sep") {
        options.replaceSpaces = true;
        options.spaceReplacement.clear();
    } else if (word.size() == 4 && word.startsWith(u"sep") && word.at(3) != u'/') {
        options.replaceSpaces = true;
        options.spaceReplacement = word.at(3);
    } else if (word == u"changes" || word == u"changes-") {
        options.changes = ChangesMode::All;
        options.changesReversed = word.endsWith(u'-');
    } else if (word == u"changesnew" || word == u"changesnew-") {
        options.changes = ChangesMode::NameChanges;
        options.changesReversed = word.endsWith(u'-');
    } else if (word == u"force63")
        options.maxNameLength = options.maxNameLength ? qMin(options.maxNameLength, 63) : 63;
    else if (word == u"forcexbox") {
        options.fatxNames = true;
        options.maxNameLength = options.maxNameLength ? qMin(options.maxNameLength, 42) : 42;
    } else if (word == u"forceDC") {
        options.upperCaseNames = true;
        options.maxNameLength = options.maxNameLength ? qMin(options.maxNameLength, 32) : 32;
    } else
        return false;
    return true;
}

} // namespace

ParsedArguments parseArguments(const QStringList &arguments)
{
    ParsedArguments result;
    Options &options = result.options;
    if (arguments.isEmpty()) {
        result.error = QStringLiteral("No command given");
        return result;
    }
    const CommandWord *command = findCommand(arguments.first());
    if (!command) {
        result.error = QStringLiteral("Unknown command %1").arg(quoted(arguments.first()));
        return result;
    }
    options.commandWord = arguments.first();
    options.command = command->command;
    options.subdirs = command->subdirs;
    options.auditLevel = command->auditLevel;

    for (int i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (word == u"config") {
            // The section name is the next argument, whatever it looks like.
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
                result.error = QStringLiteral("\"config\" needs a section name after it");
                return result;
            }
            options.configSection = arguments.at(++i);
        } else if (findCommand(word)) {
            result.error = QStringLiteral("Only one command may be given, %1 is a second one")
                               .arg(quoted(word));
            return result;
        } else if (!applyOption(word, options)) {
            result.error = QStringLiteral("Unknown option %1").arg(quoted(word));
            return result;
        }
    }
    return result;
}

QString usageText(const QString &base)
{
    return QStringLiteral(
               "Good%1: checks the ROM files in the current directory against Good%1.dat\n"
               "\n"
               "Usage: Good%1 <command> [options]\n"
               "\n"
               "Commands:\n"
               "  rename            rename known files to %1Ren/<good name>, write lists\n"
               "  move              move known files to %1Ren/ keeping their names, write lists\n"
               "  scan, scand       list every file with size, checksum and good name\n"
               "  scannew, scannewd the same for unknown files only\n"
               "  list, listd       write %1Have.txt and %1Miss.txt\n"
               "  audit1 .. audit5  reports by flag, flags, region, missing, unknown (audit: 1)\n"
               "  convert           convert copier formats (Gen: .smd, SNES: .swc .fig)\n"
               "  fixnes            write a cleaned copy of each .nes with a dirty header\n"
               "  (the d variants also read every subdirectory)\n"
               "\n"
               "Options:\n"
               "  dirs              sort renamed files into folders by first letter\n"
               "  inplace           rename in the current directory\n"
               "  nosep, sep<X>     remove spaces from new names, or replace them by X\n"
               "  force63           cut new names to 63 characters\n"
               "  forcexbox         cut new names to 42 characters, FATX characters only\n"
               "  forceDC           upper-case new names, cut to 32 characters\n"
               "  changes[-]        append every operation to %1Changes.txt (- reversed)\n"
               "  changesnew[-]     the same for operations that change a name\n"
               "  logmsgs           also append all messages to %1Log.txt\n"
               "  quiet             print summaries and errors only\n"
               "  nodb              do not write the checksum file Good%1.db\n"
               "  deep              scan: show the first bytes and header details\n"
               "  config <section>  take exclusions from that section of Goodinfo.cfg\n")
        .arg(base);
}
