#include "goodtool/options.h"

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
    {"scannew", Command::Scan, false, 0},
    {"scannewd", Command::Scan, true, 0},
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

// Options that nothing downstream looks at: accepted, so that every panel setting runs, and
// announced rather than carried out.
const char *const acknowledgedWords[] = {
    "logmsgs", "quiet",   "deep",     "force63",    "forcexbox",
    "forceDC", "changes", "changes-", "changesnew", "changesnew-",
};

bool isAcknowledged(const QString &word)
{
    for (const char *acknowledged : acknowledgedWords) {
        if (word == QLatin1String(acknowledged))
            return true;
    }
    return false;
}

// Applies one option word; false when the word is no option.
bool applyOption(const QString &word, Options &options)
{
    if (word == u"dirs")
        options.dirs = true;
    else if (word == u"inplace")
        options.inplace = true;
    else if (word == u"nodb")
        options.noDb = true;
    else if (word == u"nosep" || word == u"sep") {
        options.replaceSpaces = true;
        options.spaceReplacement.clear();
    } else if (word.size() == 4 && word.startsWith(u"sep") && word.at(3) != u'/') {
        options.replaceSpaces = true;
        options.spaceReplacement = word.at(3);
    } else if (isAcknowledged(word))
        options.acknowledged << word;
    else
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
               "  scan, scannew     accepted, not carried out (also scand, scannewd)\n"
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
               "  nodb              do not write the checksum file Good%1.db\n"
               "  force63, forcexbox, forceDC, changes[-], changesnew[-], logmsgs, quiet,\n"
               "  deep              accepted, not carried out\n"
               "  config <section>  take exclusions from that section of Goodinfo.cfg\n")
        .arg(base);
}
