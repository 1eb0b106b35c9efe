#include "tessarytest.h"

#include "demo/democollection.h"
#include "filetree.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTableWidget>

namespace TessaryTest {

bool writeFile(const QString &path, const QByteArray &content, bool executable)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size() &&
           (!executable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

MessageBoxAnswerer::MessageBoxAnswerer(QList<QMessageBox::StandardButton> answers)
    : m_answers(std::move(answers))
{
    connect(this, &QTimer::timeout, this, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        QAbstractButton *button =
            box->button(m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst());
        seen << box->windowTitle() + QLatin1String(": ") + box->text() +
                    (button ? QString() : QStringLiteral(" (no such button)"));
        button ? button->click() : box->reject();
    });
    start(10);
}

void answerNextFileDialog(const QString &path, int tries)
{
    QTimer::singleShot(10, [path, tries] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog && tries > 0)
            answerNextFileDialog(path, tries - 1);
        if (!dialog)
            return;
        if (path.isEmpty())
            return dialog->reject();
        // selectFile() leaves the dialog's name field alone while it has focus: type into it.
        fillIn(dialog, "fileNameEdit=" + path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

Collection::Collection()
{
    QDir().mkpath(toolDir());
    qputenv(TempVariable, QFile::encodeName(m_tmp.path()));
    globals = "Good*.exe Directory=" + toolDir().toUtf8() +
              "\nSame as Rom Path=false\nCheck Version At Startup=false\n"
              "Load Summary At Startup=false\n";
}

Collection::~Collection()
{
    m_window.reset();
    // Tool windows have no parent, and one that was closed waits for the event loop to delete
    // it: neither may outlive the test.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QPointer<QWidget> &window :
         QList<QPointer<QWidget>>(windows.begin(), windows.end())) {
        if (window && !window->parentWidget())
            delete window;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QFile::remove(settingsPath());
    qputenv(TempVariable, m_oldTmpDir); // empty is as good as unset
}

void Collection::addSystem(const QString &key, const QString &title, const QString &toolName)
{
    const QString tool = toolName.isEmpty() ? QStringLiteral("Good%1.exe").arg(key) : toolName;
    QDir().mkpath(romDir(key));
    if (!QFileInfo::exists(toolDir() + tool) && !QFileInfo(tool).isAbsolute())
        writeFile(toolDir() + tool, "not a tool\n");
    const QString name = title.isEmpty() ? key + " System" : title;
    m_systems +=
        QString("\n[%1=%2\nRom Path=%3\nFile Name=%4\n").arg(key, name, romDir(key), tool).toUtf8();
}

void Collection::addDemoSystem(const QString &key)
{
    const DemoSystem system = demoSystem(key);
    QString error;
    if (!installDemoTool(system, QStringLiteral(GOODTOOL_PATH), toolDir(), &error) ||
        writeMissingRoms(system, romDir(key), &error).isEmpty())
        qWarning("demo system %s: %s", qPrintable(key), qPrintable(error));
    addSystem(key, system.title, system.toolName());
}

MainWindow *Collection::startWindow()
{
    m_window.reset();
    if (!writeSettings())
        return nullptr;
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window.get()) ? m_window.get() : nullptr;
}

void Collection::select(const QString &key)
{
    auto *selector = window()->findChild<QComboBox *>(QStringLiteral("selectSystemComboBox"));
    selector->setCurrentIndex(selector->findText(u'[' + key + u' ', Qt::MatchStartsWith));
}

void fillIn(QWidget *window, const QString &fields)
{
    for (const QString &field : fields.split(u'|', Qt::SkipEmptyParts)) {
        const QString name = field.section(u'=', 0, 0), text = field.section(u'=', 1);
        QWidget *widget = window ? window->findChild<QWidget *>(name) : nullptr;
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edit->setText(text);
        else if (auto *box = qobject_cast<QComboBox *>(widget))
            box->setCurrentIndex(box->findText(text));
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->click();
        else
            qWarning("no field %s", qPrintable(name));
    }
}

QWidget *toolWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !qobject_cast<QMainWindow *>(widget))
            return widget;
    }
    return nullptr;
}

std::pair<QStringList, QList<QMessageBox::StandardButton>> expectedBoxes(const Steps &steps)
{
    std::pair<QStringList, QList<QMessageBox::StandardButton>> boxes;
    for (const Step &step : steps) {
        if (step.verb == Step::Answer) {
            boxes.first << step.text;
            boxes.second << step.button;
        }
    }
    return boxes;
}

// Acts on the widget the step names as a user would.
static bool takeStep(QWidget *window, const Step &step)
{
    const auto named = [&](auto *widget) {
        return widget->text().remove(u'&') == step.target;
    };
    if (step.verb == Step::Menu) {
        for (const QMenu *menu : window->findChildren<QMenu *>()) {
            for (QAction *action : menu->actions()) {
                if (menu->title() + " > " + action->text() == step.target)
                    return action->trigger(), true;
            }
        }
    } else if (step.verb == Step::Select) {
        for (auto *box : window->findChildren<QComboBox *>()) {
            const int index = box->findText(step.text, Qt::MatchStartsWith);
            if (index >= 0)
                return box->setCurrentIndex(index), true;
        }
    } else if (step.verb == Step::Type) {
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (auto *edit = qobject_cast<QLineEdit *>(label->buddy()); edit && named(label))
                return edit->setText(step.text), true;
        }
    } else {
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            if (named(button) && button->isVisible()) {
                if (step.verb == Step::Click || !button->isChecked())
                    button->click();
                return true;
            }
        }
    }
    qWarning("nothing to act on: %s %s", qPrintable(step.target), qPrintable(step.text));
    return false;
}

bool take(const Steps &steps, QWidget *mainWindow, QPointer<QWidget> *window)
{
    QWidget *in = mainWindow;
    bool taken = true;
    for (const Step &step : steps) {
        if (step.verb == Step::Answer)
            continue;
        taken = in && takeStep(in, step) && taken;
        if (step.verb == Step::Menu)
            in = toolWindow(); // if the item opened one
    }
    if (window)
        *window = in == mainWindow ? nullptr : in;
    return taken;
}

void runScenario()
{
    QFETCH(WindowScenario, row);
    Collection collection;
    for (const QString &key : FileTree::list(row.systems))
        key.startsWith(u'*') ? collection.addDemoSystem(key.mid(1)) : collection.addSystem(key);
    row.shown.replace(QLatin1String("<root>"), collection.root());
    for (Step &step : row.steps)
        step.text.replace(QLatin1String("<root>"), collection.root())
            .replace(QLatin1String("<ini>"), QCoreApplication::applicationDirPath());
#ifdef Q_OS_WIN
    if (row.files.contains(QLatin1String("<fifo>")) || row.files.contains(QLatin1String("->")))
        QSKIP("symbolic links and FIFOs");
#endif
    QVERIFY(FileTree::build(collection.root(), FileTree::list(row.files)));
    QVERIFY(collection.startWindow());
    const QStringList before = FileTree::read(collection.root());
    auto *summary = collection.window()->findChild<QTableWidget *>("romSummary");
    summary->sortByColumn(2, Qt::AscendingOrder);
    // A window that took an empty folder name for the current directory would work on the root,
    // where it shows in the changes.
    const QString current = QDir::currentPath();
    QDir::setCurrent(collection.root());
    const auto [boxes, buttons] = expectedBoxes(row.steps);
    MessageBoxAnswerer answerer(buttons);
    QPointer<QWidget> window;
    const bool taken = take(row.steps, collection.window(), &window);
    QDir::setCurrent(current);
    QVERIFY(taken);
    const bool stays = window && window->isVisible();
    delete window;
    const auto shown = [&] { // the output area, then each summary row with its colour
        QString text = collection.output();
        for (int line = 0; line < summary->rowCount(); ++line) {
            for (int column = 0; column < 8; ++column)
                text += (column ? u'|' : u'\n') + summary->item(line, column)->text();
            text += u'|' + summary->item(line, 0)->background().color().name();
        }
        return text;
    };
    QTRY_COMPARE_WITH_TIMEOUT(shown(), row.shown, 20000);
    // Messages show paths as the system writes them.
    QCOMPARE(QDir::fromNativeSeparators(answerer.seen.join(u'|')),
             QDir::fromNativeSeparators(boxes.join(u'|')));
    QCOMPARE(stays, row.stays);
    QCOMPARE(FileTree::changes(before, FileTree::read(collection.root())),
             FileTree::list(row.changes));
}

} // namespace TessaryTest
