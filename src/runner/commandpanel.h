#pragma once

#include "runner/panelrules.h"
#include "runner/toolarguments.h"

class CommandPanelForm;

// The command panel of the main window: reads what it shows for a tool's argument list, clears
// it, shows the option groups of the checked command and toggles the right-click variants.
class CommandPanel
{
public:
    explicit CommandPanel(CommandPanelForm *form);

    // The checked buttons with their labels and texts; hidden ones count too. The selector's
    // text and the NES script's stage pick the word of convert.
    ToolArguments arguments(const QString &selectorText, int fixNesStage) const;

    // Unchecks every option (and the command too unless skipCommands) and empties the line
    // edits. Frame visibility stays as it is.
    void clear(bool skipCommands);

    PanelCommand checkedCommand() const;
    void showOptionsOf(PanelCommand command);

    // The right-click variant of whichever blue button has the keyboard focus.
    void toggleFocusedVariant();

private:
    CommandPanelForm *m_ui;
};
