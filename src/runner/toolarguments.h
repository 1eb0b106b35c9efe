#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command panel shows, as far as it reaches a tool's command line, and the argument list
// made of it. The panel reads its widgets into it. A button adds its label, which a right click
// may have switched to its other form ("scan" to "scand"); a few make words of their own.
struct ToolArguments
{
    // The command frame. At most one of command, auditLevel and convertLabel is set (radio
    // buttons); the custom box is checked on its own.
    QString command;                     // the label of rename, move, scan, scannew or list
    std::optional<QString> auditLevel;   // audit: the level box's text, empty or "1" to "5"
    std::optional<QString> custom;       // the text beside the custom box, one argument as typed
    std::optional<QString> convertLabel; // convert: "convert" or "fixnes script"
    QString selectorText;                // with the NES script's stage, picks convert's word
    int fixNesStage = 1;

    // The option frames: the label of the radio button checked in each, if any.
    QString folders;                  // dirs or inplace
    QString noSeparator;              // nosep, or else
    std::optional<QString> separator; // sepX: the character beside it, maybe none
    QStringList general;              // of logmsgs, quiet, nodb and deep those checked, in order
    QString changes;                  // changes or changesnew, either maybe ending in "-"
    QString force;                    // force63, forcexbox or forceDC
    std::optional<QString> configKey; // config: the section list's key, such as "[Gen"

    // The arguments in the panel's order: frame by frame as created, the command frame first;
    // in it convert comes after the custom text. Nothing is trimmed, quoted or split.
    QStringList list() const;
};
