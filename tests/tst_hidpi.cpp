// At twice the scale, as on a HiDPI screen, every text in a box of fixed size must still fit it:
// the windows are laid out at fixed coordinates, so nothing would grow to make room.
#include "app/mainwindow.h"
#include "screenshots/windowtour.h"
#include "testhelpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The text's own width, without the widget's frame, indicator or margins.
int spaceNeeded(const QWidget *widget, const QString &text)
{
    return widget->fontMetrics().horizontalAdvance(text);
}

// Where the widget leaves room for its text, or -1 when it is no fixed-size text box.
int spaceGiven(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->wordWrap() ? -1 : label->contentsRect().width() - 2 * label->margin();
    const bool checkBox = qobject_cast<const QCheckBox *>(widget);
    if (checkBox || qobject_cast<const QRadioButton *>(widget)) {
        // What the style leaves for the text beside the indicator.
        QStyleOptionButton option;
        option.initFrom(widget);
        option.text = static_cast<const QAbstractButton *>(widget)->text();
        return widget->style()
            ->subElementRect(checkBox ? QStyle::SE_CheckBoxContents
                                      : QStyle::SE_RadioButtonContents,
                             &option, widget)
            .width();
    }
    return -1;
}

QString widgetText(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    return {};
}

// "name: needs N, has M" for each text of `window` that is cut off.
QStringList clippedTexts(QWidget *window)
{
    QStringList clipped;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const QString text = widgetText(widget);
        const int given = spaceGiven(widget);
        if (text.isEmpty() || text.contains(u'\n') || given < 0 || !widget->isVisibleTo(window))
            continue;
        const int needed = spaceNeeded(widget, text);
        if (needed > given)
            clipped << QStringLiteral("%1 \"%2\": needs %3, has %4")
                           .arg(widget->objectName(), text)
                           .arg(needed)
                           .arg(given);
    }
    return clipped;
}

} // namespace

class tst_HiDpi : public QObject
{
    Q_OBJECT

    QTemporaryDir root;

private slots:
    void initTestCase()
    {
        QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("roms")));
        QFile tool(root.filePath(QStringLiteral("GoodGen.exe")));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        const QByteArray dir = root.path().toUtf8() + '/';
        QVERIFY(TestHelpers::writeSettings("Good*.exe Directory=" + dir +
                                           "\nSame as Rom Path=false\n"
                                           "Check Version At Startup=false\n"
                                           "Load Summary At Startup=false\n\n"
                                           "[Gen=Sega Genesis\nRom Path=" +
                                           dir + "roms/\nFile Name=GoodGen.exe\n\n"));
    }

    void cleanupTestCase() { TestHelpers::removeSettings(); }

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
        MainWindow mainWindow;
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QWidget *window = &mainWindow;
        if (!action.isEmpty()) {
            window = openFromMenu(&mainWindow, action.constData());
            QVERIFY2(window, action.constData());
        }
        const QStringList clipped = clippedTexts(window);
        if (window != &mainWindow)
            window->close();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String("; "))));
    }
};

QTEST_MAIN(tst_HiDpi)
#include "tst_hidpi.moc"
