#pragma once

#include "runner/panelrules.h"

#include <QStringList>

class CommandPanelForm;

// The command panel of the main window: reads a tool's argument list off its buttons, clears
// it, shows the option groups of the checked command and toggles the right-click variants.
class CommandPanel
{
public:
    explicit CommandPanel(CommandPanelForm *form);

    // The checked widgets' words in creation order, frame by frame; hidden widgets count too.
    // The selector's text and the NES script's stage pick the word of convert.
    QStringList arguments(const QString &selectorText, int fixNesStage) const;

    // Unchecks every option (and the command too unless skipCommands) and empties the line
    // edits. Frame visibility stays as it is.
    void clear(bool skipCommands);

    PanelCommand checkedCommand() const;
    void showOptionsOf(PanelCommand command);

    // The right-click variant of whichever blue button has the keyboard focus.
    void toggleFocusedVariant();

private:
    CommandPanelForm *ui;
};
