#include "settings/testconfig.h"

#include "settings/atomicwrite.h"
#include "settings/settingsloader.h"
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

bool isClass(const QObject *object, const char *className)
{
    return qstrcmp(object->metaObject()->className(), className) == 0;
}

} // namespace

TestConfig::TestConfig(const SystemTable &systemTable, const QString &goodExeDir,
                       const QString &sameAsRomPath, const QString &checkVersionAtStartup,
                       const QString &loadSummaryAtStartup, int x, int y, int width)
{
    setupForm();
    setAttribute(Qt::WA_DeleteOnClose);
    move(toolWindowPosition(this, x, y, width));

    sameAsRomPathBox->addItems({QStringLiteral("true"), QStringLiteral("false")});
    if (sameAsRomPath == QLatin1String("false"))
        sameAsRomPathBox->setCurrentIndex(1);
    goodExeDirEdit->setText(goodExeDir);
    loadSummaryBox->setChecked(loadSummaryAtStartup == QLatin1String("true"));
    checkVersionBox->setChecked(checkVersionAtStartup == QLatin1String("true"));

    connect(exeDirButton, &QPushButton::clicked, this, [this] { setFolder(exeDirButton); });
    connect(saveButton, &QPushButton::clicked, this, &TestConfig::Save);

    auto *panels = new QVBoxLayout;
    int index = 0;
    for (const SystemEntry &entry : systemTable)
        panels->addWidget(addSystemPanel(index++, entry));
    systemPanels->setLayout(panels);
    scrollArea->setWidget(systemPanels);
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
    checkVersionBox = createNamed<QCheckBox>(optionsGroup, QStringLiteral("checkBox"));
    checkVersionBox->setGeometry(6, 26, 104, 32);
    checkVersionBox->setText(tr("Check Version\nAt Startup"));
    loadSummaryBox = createNamed<QCheckBox>(optionsGroup, QStringLiteral("checkBox_2"));
    loadSummaryBox->setGeometry(6, 64, 104, 32);
    loadSummaryBox->setText(tr("Load Summary\nAt Startup"));
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
    goodExeDirEdit = createNamed<QLineEdit>(toolLocationFrame, QStringLiteral("lineEdit"));
    toolLocationLayout->addWidget(goodExeDirEdit, 0, 1);
    exeDirButton = createPickerButton(toolLocationFrame, QStringLiteral("exeDirButton"));
    exeDirButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    exeDirButton->setMaximumSize(32, 23);
    toolLocationLayout->addWidget(exeDirButton, 0, 2);
    auto *sameAsRomPathLabel = createNamed<QLabel>(toolLocationFrame, QStringLiteral("label_2"));
    sameAsRomPathLabel->setText(tr("Same As\nRom Path"));
    toolLocationLayout->addWidget(sameAsRomPathLabel, 1, 0);
    sameAsRomPathBox = createNamed<QComboBox>(toolLocationFrame, QStringLiteral("comboBox"));
    toolLocationLayout->addWidget(sameAsRomPathBox, 1, 1);
    windowLayout->addWidget(toolLocationFrame, 0, 1);

    scrollArea = createNamed<QScrollArea>(this, QStringLiteral("scrollArea"));
    scrollArea->setMinimumSize(416, 319);
    scrollArea->setWidgetResizable(true);
    systemPanels = createNamed<QWidget>(nullptr, QStringLiteral("scrollAreaWidgetContents"));
    systemPanels->setGeometry(0, 0, 428, 336);
    windowLayout->addWidget(scrollArea, 1, 1);

    saveButton = createNamed<QPushButton>(this, QStringLiteral("saveButton"));
    saveButton->setText(tr("Save"));
    saveButton->setLayoutDirection(Qt::RightToLeft);
    windowLayout->addWidget(saveButton, 2, 1);
}

// One panel per system; Save writes the children back in their creation order, so the order of
// key, name, "Rom Path", path, "File Name" and file is what makes a block of Tessary.ini.
QFrame *TestConfig::addSystemPanel(int index, const SystemEntry &entry)
{
    const QString n = QString::number(index);
    auto *panel = createNamed<QFrame>(systemPanels, QStringLiteral("panel") + n);
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

QString TestConfig::settingsText() const
{
    const auto flag = [](const QCheckBox *box) {
        return box->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    };
    QString text;
    text += QLatin1String("Good*.exe Directory=") + goodExeDirEdit->text() + u'\n';
    text += QLatin1String("Same as Rom Path=") + sameAsRomPathBox->currentText() + u'\n';
    text += QLatin1String("Check Version At Startup=") + flag(checkVersionBox) + u'\n';
    text += QLatin1String("Load Summary At Startup=") + flag(loadSummaryBox) + u'\n';
    text += u'\n';

    for (const QObject *child : systemPanels->children()) {
        if (!isClass(child, "QFrame"))
            continue;
        for (const QObject *field : child->children()) {
            if (const auto *edit = qobject_cast<const QLineEdit *>(field)) {
                const bool isKey = edit->objectName().contains(QLatin1String("textBoxOne"));
                text += edit->text() + (isKey ? u'=' : u'\n');
            } else if (const auto *label = qobject_cast<const QLabel *>(field)) {
                text += label->text() + u'=';
            }
        }
        text += u'\n';
    }
    return text;
}

// A key that is empty or lacks its "[" would not be read back as a system: its block would be
// left out of the next load. The first such key, as a warning; empty when every key reads back.
QString TestConfig::keyProblem() const
{
    for (QObject *child : systemPanels->children()) {
        auto *panel = qobject_cast<QWidget *>(child);
        const QLineEdit *key = panel ? panelField(panel, QStringLiteral("textBoxOne")) : nullptr;
        if (!key || key->text().startsWith(u'['))
            continue;
        return tr("The key \"%1\" of the system \"%2\" does not begin with \"[\" (as in [Gen).")
            .arg(key->text(), panelField(panel, QStringLiteral("textBoxTwo"))->text());
    }
    return {};
}

// Writes the whole file at once and closes the dialog. A key that would not read back, or a
// failed write, leaves the old file as it was and keeps the dialog open, so no edit is lost.
void TestConfig::Save()
{
    if (const QString problem = keyProblem(); !problem.isEmpty()) {
        QMessageBox::warning(this, tr("Warning"), problem + u'\n' + tr("Nothing was saved."));
        return;
    }
    const QString path = settingsFilePath();
    QString error;
    // An installed Tessary's first save makes the user's configuration folder.
    QDir().mkpath(settingsDirectory());
    if (!writeTextFileAtomically(path, settingsText(), &error)) {
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
    if (origin == exeDirButton) {
        goodExeDirEdit->setText(dir);
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
