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

QStringList CommandPanel::arguments(const QString &selectorText, int fixNesStage) const
{
    QStringList arguments;
    for (QFrame *frame : panelFrames(ui->panelFrame)) {
        // The empty frame holds nothing, and sort/uniq act on the output after the run.
        if (frame == ui->emptyFrame || frame == ui->auditSortFrame)
            continue;
        for (QObject *child : frame->children()) {
            if (auto *radio = qobject_cast<QRadioButton *>(child); radio && radio->isChecked()) {
                if (radio == ui->audit)
                    arguments.append(QLatin1String("audit") + ui->auditLevelBox->currentText());
                else if (radio == ui->sepX)
                    arguments.append(QLatin1String("sep") + ui->sepXchar->text());
                else if (radio == ui->convert)
                    arguments.append(convertWord(selectorText, radio->text(), fixNesStage));
                else
                    arguments.append(radio->text());
            } else if (auto *box = qobject_cast<QCheckBox *>(child); box && box->isChecked()) {
                if (box == ui->customRB) {
                    arguments.append(ui->custom->text());
                } else if (box == ui->config) {
                    arguments.append(QStringLiteral("config"));
                    arguments.append(configSectionWord(ui->configComboBox->currentText()));
                } else {
                    arguments.append(box->text());
                }
            }
        }
    }
    return arguments;
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
