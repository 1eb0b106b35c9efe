#pragma once

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

// The path of a system's tool: the ROM directory when the tool lives there, otherwise the
// Good*.exe directory, followed by the tool file (both directories end in "/").
QString toolPath(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
                 bool sameAsRomPath);

// True when the file begins with "MZ", the mark of a Windows executable.
bool isWindowsExecutable(const QString &path);

// Outside Windows a Windows tool runs through "wine", which gets the tool's path and then every
// argument as an entry of its own; any other executable (a native tool, a script) runs directly.
ToolCommand toolCommand(const QString &path, const QStringList &arguments);
