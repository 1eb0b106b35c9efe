#include "app/mainwindow.h"
#include "maintenance/goodinfo.h"
#include "maintenancetest.h"
#include "testhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace MaintenanceTest;
using namespace TestHelpers;

namespace {

const QStringList FlagBoxes{"checkBox",   "checkBox_2", "checkBox_3", "checkBox_4",  "checkBox_5",
                            "checkBox_6", "checkBox_8", "checkBox_9", "checkBox_10", "checkBox_11"};

} // namespace

class tst_GoodInfo : public QObject
{
    Q_OBJECT

private slots:
    void flagBoxUnchecksExcludeNone_data();
    void flagBoxUnchecksExcludeNone();
    void excludeNoneUnchecksFlags();
    void browse();
    void failureKeepsWindowOpen_data();
    void failureKeepsWindowOpen();
    void swipeCompletesAndCloses();
    void openedFromMainWindow();
};

void tst_GoodInfo::flagBoxUnchecksExcludeNone_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : FlagBoxes)
        QTest::newRow(qPrintable(name)) << name;
}

void tst_GoodInfo::flagBoxUnchecksExcludeNone()
{
    QFETCH(QString, name);
    GoodInfo window({}, "Goodinfo.cfg", 0, 0, 736);
    auto *excludeNone = child<QCheckBox>(&window, "checkBox_7");
    excludeNone->setChecked(true);
    auto *box = child<QCheckBox>(&window, name);
    box->click();
    QVERIFY(box->isChecked());
    QVERIFY(!excludeNone->isChecked());
}

void tst_GoodInfo::excludeNoneUnchecksFlags()
{
    GoodInfo window({}, "Goodinfo.cfg", 0, 0, 736);
    for (const QString &name : FlagBoxes)
        child<QCheckBox>(&window, name)->setChecked(true);
    auto *excludeNone = child<QCheckBox>(&window, "checkBox_7");
    excludeNone->click();
    QVERIFY(excludeNone->isChecked());
    for (const QString &name : FlagBoxes)
        QVERIFY2(!child<QCheckBox>(&window, name)->isChecked(), qPrintable(name));
}

void tst_GoodInfo::browse()
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath("Goodinfo.cfg");
    QVERIFY(writeAll(chosen, ""));
    GoodInfo window({}, "/start/Goodinfo.cfg", 0, 0, 736);
    window.show();
    auto *lineEdit_2 = child<QLineEdit>(&window, "lineEdit_2");

    answerNextFileDialog(QString());
    child<QPushButton>(&window, "pushButton_2")->click();
    QCOMPARE(lineEdit_2->text(), QStringLiteral("/start/Goodinfo.cfg"));

    FileDialogSeen seen;
    answerNextFileDialog(chosen, &seen);
    child<QPushButton>(&window, "pushButton_2")->click();
    QCOMPARE(seen.title, QStringLiteral("Set Goodinfo.cfg"));
    QCOMPARE(seen.nameFilters, QStringList{"Goodinfo.cfg (Goodinfo.cfg)"});
    QCOMPARE(lineEdit_2->text(), chosen);
}

void tst_GoodInfo::failureKeepsWindowOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // "%1" stands for the path
    QTest::newRow("missing") << "Goodinfo.cfg"
                             << "%1 doesn't exist.";
    QTest::newRow("a directory") << "dir"
                                 << "Problem reading Goodinfo.cfg";
    QTest::newRow("no room beside it") << QString(250, u'g') << "Can not write %1\n";
}

void tst_GoodInfo::failureKeepsWindowOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (name == "dir")
        QVERIFY(QDir().mkdir(path));
    else if (name.size() > 100)
        QVERIFY(writeAll(path, "[b\n"));

    QPointer<GoodInfo> window = new GoodInfo({}, path, 0, 0, 736);
    window->show();
    child<QCheckBox>(window, "checkBox")->setChecked(true);
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    child<QPushButton>(window, "pushButton")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(seen.title, QStringLiteral("Warning"));
    QVERIFY2(seen.text.startsWith(message.arg(path)), qPrintable(seen.text));
    QVERIFY(window && window->isVisible());
    if (name.size() > 100)
        QCOMPARE(readAll(path), QByteArray("[b\n"));
    delete window;
}

void tst_GoodInfo::swipeCompletesAndCloses()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Goodinfo.cfg");
    QVERIFY(writeAll(path, "[Gen\r\n[b\r\n[NES\r\n[b\r\n"));
    QPointer<GoodInfo> window = new GoodInfo({"[Gen", "[NES"}, path, 0, 0, 736);
    window->show();
    child<QComboBox>(window, "comboBox")->setCurrentIndex(2);
    child<QCheckBox>(window, "checkBox")->click();
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    child<QPushButton>(window, "pushButton")->click();

    QCOMPARE(seen.title, QStringLiteral("Finished"));
    QCOMPARE(seen.text, QStringLiteral("Goodinfo.cfg Swipe Complete"));
    QCOMPARE(readAll(path), QByteArray("[Gen\n[b\n[NES\n[b;;n\n"));
    QTRY_VERIFY(!window);
}

void tst_GoodInfo::openedFromMainWindow()
{
    QVERIFY(writeSettings("Good*.exe Directory=/tools/\nSame as Rom Path=true\n"
                          "Check Version At Startup=false\nLoad Summary At Startup=false\n\n"
                          "[NES=NES\nRom Path=/x/\nFile Name=GoodNES.exe\n\n"
                          "[Gen=Gen\nRom Path=/y/\nFile Name=GoodGen.exe\n\n"));
    MainWindow mainWindow;
    removeSettings();
    mainWindow.findChild<QAction *>("actionGoodinfo_cfg_Swipe")->trigger();
    GoodInfo *window = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<GoodInfo *>(widget))
            window = found;
    }
    QVERIFY(window && window->isVisible());
    QScopedPointer<QWidget> guard(window);
    auto *comboBox = child<QComboBox>(window, "comboBox");
    QStringList items;
    for (int i = 0; i < comboBox->count(); ++i)
        items << comboBox->itemText(i);
    QCOMPARE(items, (QStringList{"Swipe All", "[NES", "[Gen"}));
    QCOMPARE(comboBox->currentIndex(), 0);
    QCOMPARE(child<QLineEdit>(window, "lineEdit_2")->text(), QStringLiteral("/tools/Goodinfo.cfg"));
}

QTEST_MAIN(tst_GoodInfo)
#include "tst_goodinfo.moc"
