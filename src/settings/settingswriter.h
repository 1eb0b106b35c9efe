#pragma once

#include "settings/systementry.h"

#include <QList>

// The text of Tessary.ini as the configuration dialog saves it: the four global lines and an
// empty line, then for each system, in the order given, its key line, its "Rom Path" and
// "File Name" lines and an empty line. Values are written untrimmed, and the directories as
// configured (configuredGoodExeDir, configuredRomPath), so a relative one stays relative.
// Lines end with "\n": the file is written in text mode, which makes that the platform's line end.
QString settingsFileText(const GlobalSettings &settings, const QList<SystemEntry> &systems);
