// Runs at twice the scale, as on a HiDPI screen (see CMakeLists.txt).
#include "app/mainwindow.h"
#include "screenshots/windowtour.h"
#include "tessarytest.h"
#include "widgets/toolwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextEdit>

using namespace TessaryTest;

namespace {

QStringList items(const QWidget *window, const char *comboBox)
{
    auto *box = child<QComboBox>(window, QLatin1String(comboBox));
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

QWidget *configDialog(int index)
{
    QList<QWidget *> dialogs;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("TestConfig") && widget->isVisible())
            dialogs << widget;
    }
    return dialogs.value(index);
}

// The room a fixed-size label, check box or radio button leaves for its one-line text; -1 else.
int roomForText(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->wordWrap() ? -1 : label->contentsRect().width() - 2 * label->margin();
    auto *button = qobject_cast<const QAbstractButton *>(widget);
    const bool checkBox = qobject_cast<const QCheckBox *>(widget);
    if (!checkBox && !qobject_cast<const QRadioButton *>(widget))
        return -1;
    QStyleOptionButton option;
    option.initFrom(widget);
    option.text = button->text();
    return widget->style()
        ->subElementRect(checkBox ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents,
                         &option, widget)
        .width();
}

} // namespace

class tst_App : public QObject
{
    Q_OBJECT

private slots:
    void missingSettingsFile()
    {
        QFile::remove(settingsPath());
        MainWindow window;
        QCOMPARE(child<QTextEdit>(&window, QStringLiteral("textEdit"))->toPlainText(),
                 QStringLiteral("Can not read %1/Tessary.ini")
                     .arg(QCoreApplication::applicationDirPath()));
        QCOMPARE(items(&window, "selectSystemComboBox"), QStringList());
        QCOMPARE(window.selectedSystem(), SystemEntry());
    }

    // Main, Config: each dialog shows the table in key order; closing one, saved or not, makes
    // the window read the file again.
    void configCycle()
    {
        Collection collection;
        for (const char *key : {"NES", "Gen ", "GBA"})
            collection.addSystem(QLatin1String(key));
        collection.addSystem(QStringLiteral("SNES"), {}, QStringLiteral("/no/tool"));
        MainWindow *window = collection.startWindow();
        QVERIFY(window);
        QCOMPARE(items(window, "selectSystemComboBox"),
                 (QStringList{"[NES NES System", "[Gen  Gen  System", "[GBA GBA System"}));
        QCOMPARE(items(window, "configComboBox"), (QStringList{"[NES", "[Gen ", "[GBA", "[SNES"}));
        collection.select(QStringLiteral("Gen "));
        QCOMPARE(window->selectedSystem(), SystemEntry()); // a key with a space is not found

        collection.trigger(QStringLiteral("actionConfig"));
        collection.trigger(QStringLiteral("actionConfig"));
        child<QLineEdit>(configDialog(0), QStringLiteral("textBoxTwo0"))->setText("First");
        child<QLineEdit>(configDialog(1), QStringLiteral("textBoxTwo0"))->setText("Second");
        child<QPushButton>(configDialog(0), QStringLiteral("saveButton"))->click();
        QCOMPARE(items(window, "selectSystemComboBox"),
                 (QStringList{"[GBA First", "[Gen  Gen  System", "[NES NES System"}));
        child<QPushButton>(configDialog(0), QStringLiteral("saveButton"))->click();
        QCOMPARE(items(window, "selectSystemComboBox").value(0), QStringLiteral("[GBA Second"));

        // A file gone by then empties the lists; the settings read before stay.
        collection.trigger(QStringLiteral("actionConfig"));
        QVERIFY(QFile::remove(settingsPath()));
        configDialog(0)->close();
        QCOMPARE(items(window, "configComboBox"), QStringList());
        QVERIFY(window->systems().isEmpty());
        QCOMPARE(window->settings().goodExeDir, collection.toolDir());
        QVERIFY(collection.output().startsWith(QStringLiteral("Can not read ")));
        collection.trigger(QStringLiteral("actionExit"));
        QVERIFY(!window->isVisible());
    }

    void toolWindowPlacement()
    {
        QWidget window;
        window.resize(294, 282);
        QCOMPARE(toolWindowPosition(&window, 101, 50, 735), QPoint(321, 150)); // 367 + 101 - 147
    }

    // The windows are laid out at fixed coordinates: at scale 2 every text must still fit.
    void textsFitAtScaleTwo_data()
    {
        QTest::addColumn<QByteArray>("action");
        QTest::newRow("main window") << QByteArray();
        for (const TourStop &stop : windowTour())
            QTest::newRow(stop.picture) << QByteArray(stop.action);
    }

    void textsFitAtScaleTwo()
    {
        QFETCH(QByteArray, action);
        QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
        Collection collection;
        collection.addSystem(QStringLiteral("Gen"), QStringLiteral("Sega Genesis"));
        QWidget *window = collection.startWindow();
        if (!action.isEmpty())
            window = openFromMenu(window, action.constData());
        QVERIFY(window);
        QStringList clipped;
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            const QString text = widget->property("text").toString();
            const int room = roomForText(widget);
            const int needed = widget->fontMetrics().horizontalAdvance(text);
            if (room >= 0 && !text.contains(u'\n') && widget->isVisibleTo(window) && needed > room)
                clipped << QStringLiteral("%1: %2 > %3")
                               .arg(widget->objectName())
                               .arg(needed)
                               .arg(room);
        }
        if (window != collection.window())
            window->close();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u';')));
    }
};

QTEST_MAIN(tst_App)
#include "tst_app.moc"
