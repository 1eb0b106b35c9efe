#include "settings/testconfig.h"

#include "settings/atomicwrite.h"
#include "settings/settingsloader.h"
#include "settings/settingswriter.h"
#include "widgets/createchild.h"
#include "widgets/toolwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QPushButton *createPickerButton(QWidget *parent, const QString &name)
{
    auto *button = createNamed<QPushButton>(parent, name);
    button->setText(QStringLiteral("...."));
    button->setLayoutDirection(Qt::RightToLeft);
    return button;
}

// The first line edit among the panel's children whose name contains `part`.
QLineEdit *panelField(QWidget *panel, const QString &part)
{
    for (QObject *child : panel->children()) {
        auto *field = qobject_cast<QLineEdit *>(child);
        if (field && field->objectName().contains(part))
            return field;
    }
    return nullptr;
}

} // namespace

TestConfig::TestConfig(const SystemTable &systemTable, const QString &goodExeDir,
                       const QString &sameAsRomPath, const QString &checkVersionAtStartup,
                       const QString &loadSummaryAtStartup, int x, int y, int width)
{
    setupForm();
    setAttribute(Qt::WA_DeleteOnClose);
    move(toolWindowPosition(this, x, y, width));

    m_sameAsRomPathBox->addItems({QStringLiteral("true"), QStringLiteral("false")});
    if (sameAsRomPath == QLatin1String("false"))
        m_sameAsRomPathBox->setCurrentIndex(1);
    m_goodExeDirEdit->setText(goodExeDir);
    m_loadSummaryBox->setChecked(loadSummaryAtStartup == QLatin1String("true"));
    m_checkVersionBox->setChecked(checkVersionAtStartup == QLatin1String("true"));

    connect(m_exeDirButton, &QPushButton::clicked, this, [this] { setFolder(m_exeDirButton); });
    connect(m_saveButton, &QPushButton::clicked, this, &TestConfig::Save);

    auto *panels = new QVBoxLayout;
    int index = 0;
    for (const SystemEntry &entry : systemTable)
        panels->addWidget(addSystemPanel(index++, entry));
    m_systemPanels->setLayout(panels);
    m_scrollArea->setWidget(m_systemPanels);
}

void TestConfig::closeEvent(QCloseEvent *event)
{
    emit closed();
    QWidget::closeEvent(event);
}

void TestConfig::setupForm()
{
    setObjectName(QStringLiteral("TestConfig"));
    resize(582, 482);
    setMinimumSize(582, 482);
    setWindowTitle(tr("Tessary Config"));
    useMainWindowFont(this);
    auto *windowLayout = new QGridLayout(this);
    windowLayout->setObjectName(QStringLiteral("gridLayout"));

    auto *optionsGroup = createNamed<QGroupBox>(this, QStringLiteral("groupBox"));
    optionsGroup->setTitle(tr("Options"));
    optionsGroup->setMinimumSize(128, 416);
    m_checkVersionBox = createNamed<QCheckBox>(optionsGroup, QStringLiteral("checkBox"));
    m_checkVersionBox->setGeometry(6, 26, 104, 32);
    m_checkVersionBox->setText(tr("Check Version\nAt Startup"));
    m_loadSummaryBox = createNamed<QCheckBox>(optionsGroup, QStringLiteral("checkBox_2"));
    m_loadSummaryBox->setGeometry(6, 64, 104, 32);
    m_loadSummaryBox->setText(tr("Load Summary\nAt Startup"));
    windowLayout->addWidget(optionsGroup, 0, 0, 2, 1);

    auto *toolLocationFrame = createNamed<QFrame>(this, QStringLiteral("frame"));
    toolLocationFrame->setMinimumSize(416, 91);
    toolLocationFrame->setFrameShape(QFrame::StyledPanel);
    toolLocationFrame->setFrameShadow(QFrame::Plain);
    auto *toolLocationLayout = new QGridLayout(toolLocationFrame);
    toolLocationLayout->setObjectName(QStringLiteral("gridLayout_2"));
    auto *exeDirLabel = createNamed<QLabel>(toolLocationFrame, QStringLiteral("label"));
    exeDirLabel->setText(tr("Good*.exe\nDirectory"));
    toolLocationLayout->addWidget(exeDirLabel, 0, 0);
    m_goodExeDirEdit = createNamed<QLineEdit>(toolLocationFrame, QStringLiteral("lineEdit"));
    toolLocationLayout->addWidget(m_goodExeDirEdit, 0, 1);
    m_exeDirButton = createPickerButton(toolLocationFrame, QStringLiteral("exeDirButton"));
    m_exeDirButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_exeDirButton->setMaximumSize(32, 23);
    toolLocationLayout->addWidget(m_exeDirButton, 0, 2);
    auto *sameAsRomPathLabel = createNamed<QLabel>(toolLocationFrame, QStringLiteral("label_2"));
    sameAsRomPathLabel->setText(tr("Same As\nRom Path"));
    toolLocationLayout->addWidget(sameAsRomPathLabel, 1, 0);
    m_sameAsRomPathBox = createNamed<QComboBox>(toolLocationFrame, QStringLiteral("comboBox"));
    toolLocationLayout->addWidget(m_sameAsRomPathBox, 1, 1);
    windowLayout->addWidget(toolLocationFrame, 0, 1);

    m_scrollArea = createNamed<QScrollArea>(this, QStringLiteral("scrollArea"));
    m_scrollArea->setMinimumSize(416, 319);
    m_scrollArea->setWidgetResizable(true);
    m_systemPanels = createNamed<QWidget>(nullptr, QStringLiteral("scrollAreaWidgetContents"));
    m_systemPanels->setGeometry(0, 0, 428, 336);
    windowLayout->addWidget(m_scrollArea, 1, 1);

    m_saveButton = createNamed<QPushButton>(this, QStringLiteral("saveButton"));
    m_saveButton->setText(tr("Save"));
    m_saveButton->setLayoutDirection(Qt::RightToLeft);
    windowLayout->addWidget(m_saveButton, 2, 1);
}

// One panel per system, in table order; Save writes the systems back in panel order.
QFrame *TestConfig::addSystemPanel(int index, const SystemEntry &entry)
{
    const QString n = QString::number(index);
    auto *panel = createNamed<QFrame>(m_systemPanels, QStringLiteral("panel") + n);
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Raised);
    auto *grid = new QGridLayout(panel);

    auto *key = createNamed<QLineEdit>(panel, QStringLiteral("textBoxOne") + n);
    key->setText(entry.key);
    key->setMaximumWidth(63);
    key->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    grid->addWidget(key, 0, 0);
    auto *name = createNamed<QLineEdit>(panel, QStringLiteral("textBoxTwo") + n);
    name->setText(entry.systemName);
    grid->addWidget(name, 0, 1);
    auto *romLabel = createNamed<QLabel>(panel, QStringLiteral("labelOne") + n);
    romLabel->setText(tr("Rom Path"));
    grid->addWidget(romLabel, 1, 0);
    auto *romPath = createNamed<QLineEdit>(panel, QStringLiteral("textBoxThree") + n);
    romPath->setText(entry.configuredRomPath);
    grid->addWidget(romPath, 1, 1);
    auto *fileLabel = createNamed<QLabel>(panel, QStringLiteral("labelTwo") + n);
    fileLabel->setText(tr("File Name"));
    grid->addWidget(fileLabel, 2, 0);
    auto *toolFile = createNamed<QLineEdit>(panel, QStringLiteral("textBoxFour") + n);
    toolFile->setText(entry.toolFile);
    grid->addWidget(toolFile, 2, 1);
    auto *folderButton = createPickerButton(panel, QStringLiteral("button") + n);
    folderButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    folderButton->setMaximumWidth(32);
    grid->addWidget(folderButton, 1, 2);
    auto *fileButton = createPickerButton(panel, QStringLiteral("buttonTwo") + n);
    fileButton->setMaximumWidth(32);
    grid->addWidget(fileButton, 2, 2, Qt::AlignBottom);

    QFont panelFont(font().family(), 8);
    for (QWidget *child : panel->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->setFont(panelFont);

    connect(folderButton, &QPushButton::clicked, this,
            [this, folderButton] { setFolder(folderButton); });
    connect(fileButton, &QPushButton::clicked, this, [this, fileButton] { setFile(fileButton); });
    return panel;
}

// What the form holds, as the values the settings file is written from.
GlobalSettings TestConfig::enteredSettings() const
{
    GlobalSettings settings;
    settings.configuredGoodExeDir = m_goodExeDirEdit->text();
    settings.sameAsRomPath = m_sameAsRomPathBox->currentIndex() == 0; // the items are true, false
    settings.checkVersionAtStartup = m_checkVersionBox->isChecked();
    settings.loadSummaryAtStartup = m_loadSummaryBox->isChecked();
    return settings;
}

// The systems as their panels hold them now, in panel order: the table's key order.
QList<SystemEntry> TestConfig::enteredSystems() const
{
    QList<SystemEntry> systems;
    for (QObject *child : m_systemPanels->children()) {
        auto *panel = qobject_cast<QWidget *>(child);
        if (!panel)
            continue;
        const auto field = [panel](const char *part) {
            return panelField(panel, QLatin1String(part))->text();
        };
        SystemEntry system;
        system.key = field("textBoxOne");
        system.systemName = field("textBoxTwo");
        system.configuredRomPath = field("textBoxThree");
        system.toolFile = field("textBoxFour");
        systems << system;
    }
    return systems;
}

// A key that is empty or lacks its "[" would not be read back as a system: its block would be
// left out of the next load. The first such key, as a warning; empty when every key reads back.
QString TestConfig::keyProblem(const QList<SystemEntry> &systems) const
{
    for (const SystemEntry &system : systems) {
        if (!system.key.startsWith(u'['))
            return tr("The key \"%1\" of the system \"%2\" does not begin with \"[\" (as in "
                      "[Gen).")
                .arg(system.key, system.systemName);
    }
    return {};
}

// Writes the whole file at once and closes the dialog. A key that would not read back, or a
// failed write, leaves the old file as it was and keeps the dialog open, so no edit is lost.
void TestConfig::Save()
{
    const QList<SystemEntry> systems = enteredSystems();
    if (const QString problem = keyProblem(systems); !problem.isEmpty()) {
        QMessageBox::warning(this, tr("Warning"), tr("%1\nNothing was saved.").arg(problem));
        return;
    }
    const QString path = settingsFilePath();
    QString error;
    // An installed Tessary's first save makes the user's configuration folder.
    QDir().mkpath(settingsDirectory());
    if (!writeTextFileAtomically(path, settingsFileText(enteredSettings(), systems), &error)) {
        QMessageBox::warning(this, tr("Warning"),
                             tr("Can not write %1\n%2").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    close();
}

void TestConfig::setFolder(QPushButton *origin)
{
    const QString dir = QFileDialog::getExistingDirectory(
        this, tr("Open Directory"), QDir::currentPath(), QFileDialog::ShowDirsOnly);
    if (dir.isEmpty())
        return;
    if (origin == m_exeDirButton) {
        m_goodExeDirEdit->setText(dir);
    } else if (QLineEdit *romPath =
                   panelField(origin->parentWidget(), QStringLiteral("textBoxThree"))) {
        romPath->setText(dir);
    }
}

void TestConfig::setFile(QPushButton *origin)
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Set GoodTool"), QString(),
                                                      tr("GoodTools (Good*.exe)"));
    if (file.isEmpty())
        return;
    if (QLineEdit *toolFile = panelField(origin->parentWidget(), QStringLiteral("textBoxFour")))
        toolFile->setText(QFileInfo(file).fileName());
}
