#pragma once

#include "settings/systementry.h" // toolPath(), the one place a tool is looked for

#include <QString>
#include <QStringList>

// How a tool is started: the program the operating system runs and the arguments it gets.
struct ToolCommand
{
    QString program;
    QStringList arguments;

    // A Windows tool started through Wine; it prints in its own code page.
    bool throughWine() const { return program == QLatin1String("wine"); }

    bool operator==(const ToolCommand &other) const
    {
        return program == other.program && arguments == other.arguments;
    }
};

// True when the file begins with "MZ", the mark of a Windows executable.
bool isWindowsExecutable(const QString &path);

// Outside Windows a Windows tool runs through "wine", which gets the tool's path and then every
// argument as an entry of its own; any other executable (a native tool, a script) runs directly.
ToolCommand toolCommand(const QString &path, const QStringList &arguments);
