#pragma once

#include <QString>
#include <QStringList>

enum class Command { Rename, Move, Scan, ScanNew, List, Audit, Convert, FixNes };

// Which rename or move operations go into <Base>Changes.txt.
enum class ChangesMode { None, All, NameChanges };

// A command line taken apart: one command word first, then any options.
struct Options
{
    QString commandWord;
    Command command = Command::List;
    bool subdirs = false; // the "d" variants also read every subdirectory
    int auditLevel = 0;

    bool dirs = false;
    bool inplace = false;
    bool logMessages = false;
    bool quiet = false;
    bool noDb = false;
    bool deep = false;

    bool replaceSpaces = false;
    QString spaceReplacement; // empty: spaces are removed

    ChangesMode changes = ChangesMode::None;
    bool changesReversed = false;

    int maxNameLength = 0; // 0: no limit
    bool fatxNames = false;
    bool upperCaseNames = false;

    QString configSection; // without its "["; empty: the section of the tool's own system
};

struct ParsedArguments
{
    Options options;
    QString error; // set when the arguments are refused
};

ParsedArguments parseArguments(const QStringList &arguments);

// The usage text shown when the tool is started without arguments.
QString usageText(const QString &base);
