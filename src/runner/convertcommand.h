#pragma once

#include <QString>

// Three systems have a command of their own behind the panel's "convert" button: Genesis and
// SNES convert their ROM formats, NES runs the fixnes repair script.
struct ConvertCommand
{
    bool available = false;
    QString label;
    QString toolTip;
};

// The convert command for the selector text ("[NES Nintendo" and the like); not available when
// the key starts with none of "[Gen", "[SNES" and "[NES".
ConvertCommand convertCommandFor(const QString &selectorText);
