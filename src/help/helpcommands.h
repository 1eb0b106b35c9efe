#pragma once

#include "help/versioncheck.h"

class QTextEdit;
class QWidget;

// The answer to an update check: a warning box for every verdict but Current, which is only
// noted in the output area.
void showVersionReply(VersionVerdict verdict, QWidget *parent, QTextEdit *output);

// Hands help.htm beside the program to the desktop; false when it is missing or nothing took it.
bool openHelpPage(const QString &programDir);

void openWebsite();
