#pragma once

#include <QString>

// Where Tessary keeps its settings and finds its help page. A program in a folder of its own (a
// portable folder, or the build folder) keeps both beside itself. An installed program lives in
// a folder no user should write, even as root: the package marks it with the file
// "share/tessary/installed" beside the installed help page, and its settings live in the
// user's configuration folder instead.
struct InstallLayout
{
    bool installed = false;
    QString settingsDirectory;
    QString helpDirectory;
};

// The layout for a program in `programDir`, with `userConfigDirectory` as the user's
// configuration folder for Tessary.
InstallLayout installLayout(const QString &programDir, const QString &userConfigDirectory);

// The layout of the running program.
InstallLayout currentInstallLayout();
