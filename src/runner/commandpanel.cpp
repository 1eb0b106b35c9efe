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
    : m_ui(form)
{
}

ToolArguments CommandPanel::arguments(const QString &selectorText, int fixNesStage) const
{
    ToolArguments shown;
    shown.command = checkedLabel({m_ui->rename, m_ui->move, m_ui->scan, m_ui->scannew, m_ui->list});
    shown.auditLevel = textIfChecked(m_ui->audit, m_ui->auditLevelBox->currentText());
    shown.custom = textIfChecked(m_ui->customRB, m_ui->custom->text());
    shown.convertLabel = textIfChecked(m_ui->convert, m_ui->convert->text());
    shown.selectorText = selectorText;
    shown.fixNesStage = fixNesStage;
    shown.folders = checkedLabel({m_ui->dirs, m_ui->inplace});
    shown.noSeparator = checkedLabel({m_ui->nosep});
    shown.separator = textIfChecked(m_ui->sepX, m_ui->sepXchar->text());
    for (QCheckBox *box : {m_ui->logmsgs, m_ui->quiet, m_ui->nodb, m_ui->deep}) {
        if (box->isChecked())
            shown.general.append(box->text());
    }
    shown.changes = checkedLabel({m_ui->changes, m_ui->changesnew});
    shown.force = checkedLabel({m_ui->force63, m_ui->forcexbox, m_ui->forceDC});
    shown.configKey = textIfChecked(m_ui->config, m_ui->configComboBox->currentText());
    return shown;
}

void CommandPanel::clear(bool skipCommands)
{
    for (QFrame *frame : panelFrames(m_ui->panelFrame)) {
        if (skipCommands && frame == m_ui->commandFrame)
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
    m_ui->custom->clear();
    m_ui->sepXchar->clear();
}

PanelCommand CommandPanel::checkedCommand() const
{
    if (m_ui->customRB->isChecked())
        return PanelCommand::Custom;
    if (m_ui->rename->isChecked())
        return PanelCommand::Rename;
    if (m_ui->move->isChecked())
        return PanelCommand::Move;
    if (m_ui->scan->isChecked() || m_ui->scannew->isChecked())
        return PanelCommand::Scan;
    if (m_ui->list->isChecked())
        return PanelCommand::List;
    if (m_ui->audit->isChecked())
        return PanelCommand::Audit;
    if (m_ui->convert->isChecked())
        return PanelCommand::Convert;
    return PanelCommand::None;
}

void CommandPanel::showOptionsOf(PanelCommand command)
{
    if (command == PanelCommand::None)
        return;
    const OptionVisibility visible =
        optionVisibilityFor(command, m_ui->auditLevelBox->currentIndex());
    m_ui->foldersFrame->setVisible(visible.folders);
    m_ui->generalFrame->setVisible(visible.general);
    m_ui->separatorFrame->setVisible(visible.separator);
    m_ui->changesFrame->setVisible(visible.changes);
    m_ui->forceFrame->setVisible(visible.force);
    m_ui->auditSortFrame->setVisible(visible.auditSort);
    m_ui->deep->setVisible(visible.deep);
}

void CommandPanel::toggleFocusedVariant()
{
    for (QRadioButton *button :
         {m_ui->changes, m_ui->changesnew, m_ui->scan, m_ui->scannew, m_ui->list}) {
        if (button->hasFocus())
            button->setText(toggledVariantLabel(button->objectName(), button->text()));
    }
}
