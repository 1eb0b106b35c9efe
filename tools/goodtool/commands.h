#pragma once

#include "goodtool/collection.h"
#include "goodtool/options.h"
#include "goodtool/romdatabase.h"

#include <QDir>
#include <QString>
#include <QStringList>

class Output;

// What a command works with: the system, its database and exclusions, the working directory.
struct Context
{
    QString base; // "NES" for GoodNES.exe
    RomDatabase database;
    QStringList unwantedFlags;
    QDir workDir;
    Options options;
    Output *out;
    Checksums checksums;
    int failures = 0; // files that could not be read, moved or written
};

// Runs the command; returns the exit code.
int runCommand(Context &context);
