#include "app/mainwindow.h"
#include "testhelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace TestHelpers;

// The command panel as the user drives it: the argument list its buttons give, the option
// groups each command shows, Clear, and the right-click variants.
class tst_CommandPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void nothingCheckedGivesNoArguments();
    void wordsFollowCreationOrder();
    void auditLevelAndSeparatorJoinTheirWord();
    void customTextIsOneArgumentAfterTheCommand();
    void configWithoutSectionsAddsEmptyArgument();
    void hiddenCheckedWidgetsStillCount();
    void framesPerCommand_data();
    void framesPerCommand();
    void auditLevelChangesSortFrame();
    void changingCommandClearsOptionsAndOutput();
    void clearResetsEverythingButVisibility();
    void rightClickTogglesFocusedVariant();
    void rightClickWithoutVariantFocusChangesNothing();

private:
    QRadioButton *radio(const char *name) { return child<QRadioButton>(m_window.get(), name); }
    QCheckBox *box(const char *name) { return child<QCheckBox>(m_window.get(), name); }
    QFrame *frame(const char *name) { return child<QFrame>(m_window.get(), name); }
    QComboBox *combo(const char *name) { return child<QComboBox>(m_window.get(), name); }
    QLineEdit *edit(const char *name) { return child<QLineEdit>(m_window.get(), name); }
    QTextEdit *output() { return child<QTextEdit>(m_window.get(), "textEdit"); }
    QStringList arguments() { return m_window->buildArguments(); }
    QString visibleFrames();

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
};

// Two ready systems, NES and Gen, whose keys fill the config section list.
void tst_CommandPanel::initTestCase()
{
    QString text = QStringLiteral("Good*.exe Directory=\nSame as Rom Path=true\n"
                                  "Check Version At Startup=false\n"
                                  "Load Summary At Startup=false\n\n");
    for (const QString &system : {QStringLiteral("NES"), QStringLiteral("Gen")}) {
        const QString dir = m_dir.filePath(system);
        QDir().mkpath(dir);
        QFile tool(dir + QStringLiteral("/Good") + system + QStringLiteral(".exe"));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        text += QStringLiteral("[%1=%1 System\nRom Path=%2/\nFile Name=Good%1.exe\n\n")
                    .arg(system, dir);
    }
    QVERIFY(writeSettings(text.toUtf8()));
}

void tst_CommandPanel::init()
{
    m_window = std::make_unique<MainWindow>();
}

void tst_CommandPanel::cleanupTestCase()
{
    m_window.reset();
    removeSettings();
}

// The option frames shown, in panel order, as a string of their numbers.
QString tst_CommandPanel::visibleFrames()
{
    QString shown;
    for (const char *name : {"frame_3", "frame_4", "frame_5", "frame_6", "frame_8", "frame_9"}) {
        if (!frame(name)->isHidden())
            shown += QLatin1String(name).back();
    }
    if (box("deep")->isVisibleTo(frame("frame_4")) && !frame("frame_4")->isHidden())
        shown += QLatin1String(" deep");
    return shown;
}

void tst_CommandPanel::nothingCheckedGivesNoArguments()
{
    QVERIFY(arguments().isEmpty());
    box("sort")->setChecked(true); // acts on the output, never on the command line
    box("uniq")->setChecked(true);
    QVERIFY(arguments().isEmpty());
}

void tst_CommandPanel::wordsFollowCreationOrder()
{
    radio("rename")->setChecked(true);
    combo("configComboBox")->setCurrentIndex(1); // "[Gen"
    box("config")->setChecked(true);
    box("logmsgs")->setChecked(true);
    radio("changes")->setText(QStringLiteral("changes-"));
    radio("changes")->setChecked(true);
    edit("sepXchar")->setText(QStringLiteral("_"));
    radio("sepX")->setChecked(true);
    radio("dirs")->setChecked(true);

    QCOMPARE(arguments(),
             (QStringList{"rename", "dirs", "sep_", "logmsgs", "changes-", "config", "Gen"}));
}

void tst_CommandPanel::auditLevelAndSeparatorJoinTheirWord()
{
    radio("audit")->setChecked(true);
    QCOMPARE(arguments(), QStringList{"audit"});
    combo("comboBox_2")->setCurrentIndex(3);
    QCOMPARE(arguments(), QStringList{"audit3"});

    radio("rename")->setChecked(true);
    radio("sepX")->setChecked(true);
    QCOMPARE(arguments(), (QStringList{"rename", "sep"}));
}

void tst_CommandPanel::customTextIsOneArgumentAfterTheCommand()
{
    box("customRB")->setChecked(true);
    QCOMPARE(arguments(), QStringList{QString()});

    radio("scan")->setChecked(true); // a new command empties the custom text
    edit("custom")->setText(QStringLiteral(" two words "));
    QCOMPARE(arguments(), (QStringList{"scan", " two words "}));
}

void tst_CommandPanel::configWithoutSectionsAddsEmptyArgument()
{
    combo("configComboBox")->clear();
    box("config")->setChecked(true);
    QCOMPARE(arguments(), (QStringList{"config", QString()}));
}

void tst_CommandPanel::hiddenCheckedWidgetsStillCount()
{
    radio("move")->setChecked(true);
    QVERIFY(frame("frame_8")->isHidden());
    radio("forceDC")->setChecked(true);
    QCOMPARE(arguments(), (QStringList{"move", "forceDC"}));

    // NES offers the fixnes script; on a system without convert the checked button stays.
    radio("convert")->setChecked(true);
    QCOMPARE(arguments(), QStringList{"fixnes"});
    combo("selectSystemComboBox")->setCurrentIndex(1);
    QCOMPARE(radio("convert")->text(), QStringLiteral("convert"));
    QCOMPARE(arguments(), QStringList{"convert"});
}

void tst_CommandPanel::framesPerCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("frames");
    const auto row = [](const char *command, const char *frames) {
        QTest::newRow(command) << QString::fromLatin1(command) << QString::fromLatin1(frames);
    };
    row("rename", "34568");
    row("move", "346");
    row("scan", "4 deep");
    row("scannew", "4 deep");
    row("list", "4");
    row("audit", "4");
    row("convert", "4");
    row("customRB", "345689 deep");
}

void tst_CommandPanel::framesPerCommand()
{
    QFETCH(QString, command);
    QFETCH(QString, frames);
    QCOMPARE(visibleFrames(), QString());
    child<QAbstractButton>(m_window.get(), command)->setChecked(true);
    QCOMPARE(visibleFrames(), frames);
}

void tst_CommandPanel::auditLevelChangesSortFrame()
{
    radio("audit")->setChecked(true);
    for (int level : {3, 4}) {
        combo("comboBox_2")->setCurrentIndex(level);
        QCOMPARE(visibleFrames(), QStringLiteral("49"));
    }
    combo("comboBox_2")->setCurrentIndex(5);
    QCOMPARE(visibleFrames(), QStringLiteral("4"));

    // Custom shows everything whatever radio button is checked, until it is unchecked again.
    box("customRB")->setChecked(true);
    QCOMPARE(visibleFrames(), QStringLiteral("345689 deep"));
    box("customRB")->setChecked(false);
    QCOMPARE(visibleFrames(), QStringLiteral("4"));
}

void tst_CommandPanel::changingCommandClearsOptionsAndOutput()
{
    radio("rename")->setChecked(true);
    radio("inplace")->setChecked(true);
    box("quiet")->setChecked(true);
    box("config")->setChecked(true);
    combo("configComboBox")->setCurrentIndex(1);
    edit("custom")->setText(QStringLiteral("kept? no"));
    edit("sepXchar")->setText(QStringLiteral("-"));
    output()->setPlainText(QStringLiteral("last run"));

    radio("list")->setChecked(true);

    QCOMPARE(arguments(), QStringList{"list"});
    QVERIFY(!radio("inplace")->isChecked());
    QCOMPARE(combo("configComboBox")->currentIndex(), 0);
    QVERIFY(edit("custom")->text().isEmpty());
    QVERIFY(edit("sepXchar")->text().isEmpty());
    QVERIFY(output()->toPlainText().isEmpty());
}

void tst_CommandPanel::clearResetsEverythingButVisibility()
{
    radio("audit")->setChecked(true);
    combo("comboBox_2")->setCurrentIndex(4);
    box("customRB")->setChecked(true);
    edit("custom")->setText(QStringLiteral("x"));
    box("uniq")->setChecked(true);
    radio("forcexbox")->setChecked(true);
    output()->setPlainText(QStringLiteral("last run"));
    const QString shown = visibleFrames();

    QTest::mouseClick(child<QPushButton>(m_window.get(), "Clear"), Qt::LeftButton);

    QVERIFY(arguments().isEmpty());
    QVERIFY(!box("uniq")->isChecked());
    QCOMPARE(combo("comboBox_2")->currentIndex(), 0);
    QVERIFY(edit("custom")->text().isEmpty());
    QVERIFY(output()->toPlainText().isEmpty());
    QCOMPARE(visibleFrames(), shown);

    // An exclusive radio button can be checked again after the clear.
    radio("forcexbox")->setChecked(true);
    QVERIFY(radio("forcexbox")->isChecked());
}

void tst_CommandPanel::rightClickTogglesFocusedVariant()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    radio("list")->setChecked(true);

    QTest::mouseClick(radio("scan"), Qt::RightButton);
    QCOMPARE(radio("scan")->text(), QStringLiteral("scand"));
    QVERIFY(!radio("scan")->isChecked());
    QVERIFY(radio("list")->isChecked());
    QTest::mouseClick(radio("scan"), Qt::RightButton);
    QCOMPARE(radio("scan")->text(), QStringLiteral("scan"));

    QTest::mouseClick(radio("list"), Qt::RightButton);
    QCOMPARE(arguments(), QStringList{"listd"});

    radio("rename")->setChecked(true);
    QTest::mouseClick(radio("changesnew"), Qt::RightButton);
    radio("changesnew")->setChecked(true);
    QCOMPARE(arguments(), (QStringList{"rename", "changesnew-"}));

    // A left click checks the button and keeps its word.
    QTest::mouseClick(radio("scannew"), Qt::LeftButton);
    QCOMPARE(radio("scannew")->text(), QStringLiteral("scannew"));
    QVERIFY(radio("scannew")->isChecked());
}

void tst_CommandPanel::rightClickWithoutVariantFocusChangesNothing()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::mouseClick(radio("scan"), Qt::RightButton);
    QTest::mouseClick(radio("rename"), Qt::RightButton); // focus moves to a plain command
    QTest::mouseClick(m_window.get(), Qt::RightButton, {}, QPoint(5, 300));
    QCOMPARE(radio("scan")->text(), QStringLiteral("scand"));
    QCOMPARE(radio("rename")->text(), QStringLiteral("rename"));
}

QTEST_MAIN(tst_CommandPanel)
#include "tst_commandpanel.moc"
