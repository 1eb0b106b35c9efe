#pragma once

#include <QString>

// The rules of the command panel that do not depend on widgets: the words some buttons add to
// a tool's command line, the right-click variants, and which option groups a command uses.

// The word of the convert button: "convert" for Genesis and SNES, "fixnes" for the first run of
// the NES script ("fixnes script" without " script") and "rename" for its later runs. The stage
// counts on a "[NES" system only: a script paused there must not rename another collection.
QString convertWord(const QString &selectorText, const QString &label, int fixNesStage);

// "config" is followed by the section name: the key with every bracket removed, "[Gen" -> "Gen".
QString configSectionWord(const QString &key);

// The other form of a button's word after a right click ("scan" <-> "scand",
// "changes" <-> "changes-"); a null string for buttons without a variant.
QString toggledVariantLabel(const QString &objectName, const QString &label);

// The command whose option groups the panel shows. Custom wins over any radio button.
enum class PanelCommand { None, Custom, Rename, Move, Scan, List, Audit, Convert };

// Visibility of the option frames (and of "deep", which sits in the general options frame).
struct OptionVisibility
{
    bool folders = false;   // dirs, inplace
    bool general = false;   // logmsgs, quiet, nodb, deep
    bool separator = false; // nosep, sepX
    bool changes = false;   // changes, changesnew
    bool force = false;     // force63, forcexbox, forceDC
    bool auditSort = false; // sort, uniq
    bool deep = false;

    bool operator==(const OptionVisibility &other) const;
};

// What the panel shows for a command; auditLevelIndex is the level box's index (0 = no level).
// PanelCommand::None leaves the panel as it is, so callers do not ask for it.
OptionVisibility optionVisibilityFor(PanelCommand command, int auditLevelIndex);
