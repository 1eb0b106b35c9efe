// Runs at twice the scale, as on a HiDPI screen (see CMakeLists.txt).
#include "app/mainwindow.h"
#include "screenshots/windowtour.h"
#include "tessarytest.h"
#include "widgets/toolwindow.h"

#include <QtTest>
#include <QtWidgets>

using namespace TessaryTest;
using namespace Qt::StringLiterals;

namespace {

QStringList items(const QWidget *window, const QString &comboBox)
{
    QStringList texts;
    for (auto *box = child<QComboBox>(window, comboBox); texts.size() < box->count();)
        texts << box->itemText(texts.size());
    return texts;
}

// The room a label, check box or radio button leaves for its one-line text; -1 for others.
int roomForText(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->wordWrap() ? -1 : label->contentsRect().width() - 2 * label->margin();
    const bool checkBox = qobject_cast<const QCheckBox *>(widget);
    if (!checkBox && !qobject_cast<const QRadioButton *>(widget))
        return -1;
    QStyleOptionButton option;
    option.initFrom(widget);
    option.text = widget->property("text").toString();
    const auto contents = checkBox ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
    return widget->style()->subElementRect(contents, &option, widget).width();
}

} // namespace

class tst_App : public QObject
{
    Q_OBJECT

private slots:
    // Main, Config: each dialog shows the table in key order; closing one, saved or not, makes
    // the window read the file again.
    void configCycle()
    {
        Collection collection;
        for (const char *key : {"NES", "Gen ", "GBA"})
            collection.addSystem(QLatin1String(key));
        collection.addSystem(u"SNES"_s, {}, u"/no/tool"_s);
        MainWindow *window = collection.startWindow();
        QVERIFY(window);
        QCOMPARE(items(window, u"selectSystemComboBox"_s),
                 (QStringList{"[NES NES System", "[Gen  Gen  System", "[GBA GBA System"}));
        QCOMPARE(items(window, u"configComboBox"_s),
                 (QStringList{"[NES", "[Gen ", "[GBA", "[SNES"}));
        collection.select(u"Gen "_s);
        QCOMPARE(window->selectedSystem(), SystemEntry()); // a key with a space is not found

        QWidget *first = openFromMenu(window, "actionConfig");
        QWidget *second = openFromMenu(window, "actionConfig");
        child<QLineEdit>(first, u"textBoxTwo0"_s)->setText(u"First"_s);
        child<QLineEdit>(second, u"textBoxTwo0"_s)->setText(u"Second"_s);
        child<QPushButton>(first, u"saveButton"_s)->click();
        QCOMPARE(items(window, u"selectSystemComboBox"_s),
                 (QStringList{"[GBA First", "[Gen  Gen  System", "[NES NES System"}));
        child<QPushButton>(second, u"saveButton"_s)->click();
        QCOMPARE(items(window, u"selectSystemComboBox"_s).value(0), u"[GBA Second"_s);

        // A file gone by then empties the lists; the settings read before stay.
        QWidget *third = openFromMenu(window, "actionConfig");
        QVERIFY(QFile::remove(settingsPath()) && third->close());
        QCOMPARE(items(window, u"configComboBox"_s), QStringList());
        QCOMPARE(window->selectedSystem(), SystemEntry());
        QCOMPARE(window->settings().goodExeDir, collection.toolDir());
        QCOMPARE(collection.output(), "Can not read " + settingsPath());
        collection.trigger(u"actionExit"_s);
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
        collection.addSystem(u"Gen"_s, u"Sega Genesis"_s);
        QWidget *window = collection.startWindow();
        if (!action.isEmpty())
            window = openFromMenu(window, action.constData());
        QVERIFY(window);
        QStringList clipped;
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            const QString text = widget->property("text").toString();
            const int room = roomForText(widget),
                      needed = widget->fontMetrics().horizontalAdvance(text);
            if (room >= 0 && needed > room && !text.contains(u'\n') && widget->isVisibleTo(window))
                clipped << u"%1: %2 > %3"_s.arg(widget->objectName()).arg(needed).arg(room);
        }
        if (window != collection.window())
            window->close();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u';')));
    }
};

QTEST_MAIN(tst_App)
#include "tst_app.moc"
