#pragma once

#include <QString>

// The rules of the command panel that do not depend on widgets: the right-click variants and
// which option groups a command uses. The argument list is made by ToolArguments.

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
