#pragma once

#include <QString>
#include <QStringList>

// Scan stands for scan and scannew, which are accepted but not carried out.
enum class Command { Rename, Move, Scan, List, Audit, Convert, FixNes };

// A command line taken apart: one command word first, then any options.
struct Options
{
    QString commandWord;
    Command command = Command::List;
    bool subdirs = false; // the "d" variants also read every subdirectory
    int auditLevel = 0;

    bool dirs = false;
    bool inplace = false;
    bool noDb = false;

    bool replaceSpaces = false;
    QString spaceReplacement; // empty: spaces are removed

    // Words the front end may send that this stand-in takes but does not carry out (name limits,
    // change logs, message logs, deep scans): each is announced in one line instead.
    QStringList acknowledged;

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
