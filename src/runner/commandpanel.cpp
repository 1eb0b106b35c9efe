#include "runner/commandpanel.h"

#include "runner/commandpanelform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// The frames of the panel, in creation order. Only plain frames hold buttons.
QList<QFrame *> panelFrames(QFrame *panel)
{
    QList<QFrame *> frames;
    for (QObject *child : panel->children()) {
        auto *frame = qobject_cast<QFrame *>(child);
        if (frame && qstrcmp(frame->metaObject()->className(), "QFrame") == 0)
            frames.append(frame);
    }
    return frames;
}

// The label of the checked one of a group of radio buttons; empty when none is checked.
QString checkedLabel(std::initializer_list<QRadioButton *> group)
{
    for (QRadioButton *button : group) {
        if (button->isChecked())
            return button->text();
    }
    return {};
}

std::optional<QString> textIfChecked(const QAbstractButton *button, const QString &text)
{
    if (!button->isChecked())
        return std::nullopt;
    return text;
}

void uncheck(QRadioButton *button)
{
    // An exclusive radio button refuses to be unchecked while it is the checked one.
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

} // namespace

CommandPanel::CommandPanel(CommandPanelForm *form)
    : ui(form)
{
}

ToolArguments CommandPanel::arguments(const QString &selectorText, int fixNesStage) const
{
    ToolArguments shown;
    shown.command = checkedLabel({ui->rename, ui->move, ui->scan, ui->scannew, ui->list});
    shown.auditLevel = textIfChecked(ui->audit, ui->auditLevelBox->currentText());
    shown.custom = textIfChecked(ui->customRB, ui->custom->text());
    shown.convertLabel = textIfChecked(ui->convert, ui->convert->text());
    shown.selectorText = selectorText;
    shown.fixNesStage = fixNesStage;
    shown.folders = checkedLabel({ui->dirs, ui->inplace});
    shown.noSeparator = checkedLabel({ui->nosep});
    shown.separator = textIfChecked(ui->sepX, ui->sepXchar->text());
    for (QCheckBox *box : {ui->logmsgs, ui->quiet, ui->nodb, ui->deep}) {
        if (box->isChecked())
            shown.general.append(box->text());
    }
    shown.changes = checkedLabel({ui->changes, ui->changesnew});
    shown.force = checkedLabel({ui->force63, ui->forcexbox, ui->forceDC});
    shown.configKey = textIfChecked(ui->config, ui->configComboBox->currentText());
    return shown;
}

void CommandPanel::clear(bool skipCommands)
{
    for (QFrame *frame : panelFrames(ui->panelFrame)) {
        if (skipCommands && frame == ui->commandFrame)
            continue;
        for (QObject *child : frame->children()) {
            if (auto *radio = qobject_cast<QRadioButton *>(child)) {
                if (radio->isChecked())
                    uncheck(radio);
            } else if (auto *box = qobject_cast<QCheckBox *>(child)) {
                box->setChecked(false);
            } else if (auto *combo = qobject_cast<QComboBox *>(child)) {
                combo->setCurrentIndex(0);
            }
        }
    }
    ui->custom->clear();
    ui->sepXchar->clear();
}

PanelCommand CommandPanel::checkedCommand() const
{
    if (ui->customRB->isChecked())
        return PanelCommand::Custom;
    if (ui->rename->isChecked())
        return PanelCommand::Rename;
    if (ui->move->isChecked())
        return PanelCommand::Move;
    if (ui->scan->isChecked() || ui->scannew->isChecked())
        return PanelCommand::Scan;
    if (ui->list->isChecked())
        return PanelCommand::List;
    if (ui->audit->isChecked())
        return PanelCommand::Audit;
    if (ui->convert->isChecked())
        return PanelCommand::Convert;
    return PanelCommand::None;
}

void CommandPanel::showOptionsOf(PanelCommand command)
{
    if (command == PanelCommand::None)
        return;
    const OptionVisibility visible =
        optionVisibilityFor(command, ui->auditLevelBox->currentIndex());
    ui->foldersFrame->setVisible(visible.folders);
    ui->generalFrame->setVisible(visible.general);
    ui->separatorFrame->setVisible(visible.separator);
    ui->changesFrame->setVisible(visible.changes);
    ui->forceFrame->setVisible(visible.force);
    ui->auditSortFrame->setVisible(visible.auditSort);
    ui->deep->setVisible(visible.deep);
}

void CommandPanel::toggleFocusedVariant()
{
    for (QRadioButton *button : {ui->changes, ui->changesnew, ui->scan, ui->scannew, ui->list}) {
        if (button->hasFocus())
            button->setText(toggledVariantLabel(button->objectName(), button->text()));
    }
}
