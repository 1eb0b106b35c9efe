#pragma once

#include "app/mainwindow.h"
#include "screenshots/windowtour.h"
#include "tasks/threadedfunctions.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#ifndef Q_OS_WIN
#include <csignal>

#include <sys/resource.h>
#endif

// What the tests share: files and settings, answering modal dialogs, and a collection on disk with
// a main window over it.
namespace TessaryTest {

#ifndef Q_OS_WIN
// Runs `work` as on a full disk: no file may grow past one byte, and a write past that fails.
// Windows has no file size limit to make one with.
template<typename Work> auto onFullDisk(Work work)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{1, limit.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &full);
    const auto result = work();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return result;
}
#endif

bool writeFile(const QString &path, const QByteArray &content, bool executable = false);
QByteArray readFile(const QString &path); // "<unreadable>" when it cannot be read

// Tessary.ini beside the test program, where the program looks for it.
inline QString settingsPath()
{
    return QCoreApplication::applicationDirPath() + QLatin1String("/Tessary.ini");
}

// Answers each message box that opens while it lives with the next of `answers` (OK once they run
// out) and keeps "title: text" of each, in order. A box without the button asked for is closed
// and kept as "title: text (no such button)".
struct MessageBoxAnswerer : QTimer
{
    explicit MessageBoxAnswerer(QList<QMessageBox::StandardButton> answers = {});
    QStringList seen;

private:
    QList<QMessageBox::StandardButton> m_answers;
};

// Answers the next file dialog that opens within `tries` times 10 ms with `path`, or cancels it
// when `path` is empty.
void answerNextFileDialog(const QString &path, int tries = 500);

#ifdef Q_OS_WIN // and how a text file written as text ends its lines
constexpr char TempVariable[] = "TMP", TextLineEnd[] = "\r\n";
#else
constexpr char TempVariable[] = "TMPDIR", TextLineEnd[] = "\n";
#endif

// A collection in a temporary root: the tools in root/tools/, each system's ROMs in
// "root/<key> roms/"; previews in a temporary directory of its own (TempVariable). Everything goes
// when it does.
class Collection
{
public:
    Collection();
    ~Collection();

    QString root() const { return m_root.path() + u'/'; }
    QString toolDir() const { return root() + QLatin1String("tools/"); }
    QString romDir(const QString &key) const { return root() + key + QLatin1String(" roms/"); }

    // A system whose tool file is only there to be found (unless it exists already).
    void addSystem(const QString &key, const QString &title = {}, const QString &toolName = {});
    // A demo system: the substitute tool as Good<key>.exe with its database, and its ROM files.
    void addDemoSystem(const QString &key);

    // The global lines come first; a later line wins over an earlier one.
    QByteArray globals;
    bool writeSettings() const { return writeFile(settingsPath(), globals + m_systems); }

    MainWindow *startWindow(); // shown and exposed
    MainWindow *window() const { return m_window.get(); }
    void closeWindow() { m_window.reset(); }

    void select(const QString &key); // the selector's "[key ..." item
    void trigger(const QString &action) { menuItem(window(), action)->trigger(); } // as a user
    QPushButton *go() const { return window()->findChild<QPushButton *>(QStringLiteral("Go")); }
    void clickGo() { QTest::mouseClick(go(), Qt::LeftButton); }
    bool waitForGo(int ms = 20000) // until the button says "Go" again
    {
        return QTest::qWaitFor([this] { return go()->text() == QLatin1String("Go"); }, ms);
    }
    QString output() const { return window()->findChild<QTextEdit *>("textEdit")->toPlainText(); }

private:
    QTemporaryDir m_root;
    QTemporaryDir m_tmp;
    QByteArray m_systems;
    QByteArray m_oldTmpDir = qgetenv(TempVariable);
    std::unique_ptr<MainWindow> m_window;
};

// Fills in `window`, "name=text|name" in order, widgets by object name: a line edit gets the
// text, a combo box the item of that text (none when there is no such item), a check box or push
// button named alone is clicked.
void fillIn(QWidget *window, const QString &fields);
QWidget *toolWindow(); // the visible top-level window that is not the main window

// One thing a user does; a list of them reads as their steps:
//     {menu("Tools > Compare Miss Lists"), type("Your List", "a.txt"), click("Go"),
//      answer("Warning: List not found. Check your file paths.")}
// The menu item opens a window, where a field is found by its label and a combo item by how it
// begins, a button or box by its text. Each message box the steps open is named in order, with
// the button that answers it.
struct Step
{
    enum Verb { Menu, Type, Select, Check, Click, Answer } verb;
    QString target, text;
    QMessageBox::StandardButton button = QMessageBox::Ok;
};
using Steps = QList<Step>;
inline Step menu(const QString &item) // "Menu > Item"
{
    return {Step::Menu, item, {}};
}
inline Step type(const QString &label, const QString &text)
{
    return {Step::Type, label, text};
}
inline Step select(const QString &itemStart)
{
    return {Step::Select, {}, itemStart};
}
inline Step check(const QString &box) // unless it is checked
{
    return {Step::Check, box, {}};
}
inline Step click(const QString &button)
{
    return {Step::Click, button, {}};
}
inline Step answer(const QString &box, QMessageBox::StandardButton button = QMessageBox::Ok)
{
    return {Step::Answer, {}, box, button};
}
// Takes the steps in the main window `mainWindow` and the window its menu opens, which it gives;
// false, with a warning, when a step found nothing to act on.
bool take(const Steps &steps, QWidget *mainWindow, QPointer<QWidget> *window = nullptr);
// The message boxes `steps` expect, as MessageBoxAnswerer sees them, and the buttons that answer
// them.
std::pair<QStringList, QList<QMessageBox::StandardButton>> expectedBoxes(const Steps &steps);

// One row of a window scenario table. "<root>" in any text stands for the collection's root,
// "<ini>" for the folder of Tessary.ini.
struct WindowScenario
{
    QString systems; // keys, "|" between; "*Gen" is the demo system with the substitute tool
    QString files;   // written before the window starts; see FileTree::build()
    Steps steps;
    bool stays;      // the window is still open after the steps
    QString shown;   // the output area, then a line for each row of the summary; see runScenario()
    QString changes; // to the files below the root; see FileTree::changes()
};

// Starts the window over a collection made as the current test row's "row" says, takes the steps
// and compares; what shows may take a while to settle. The summary is sorted by Miss before the
// steps, as a user may, and each of its rows shows as its cells and its colour, "|" between.
void runScenario();

} // namespace TessaryTest

Q_DECLARE_METATYPE(TessaryTest::WindowScenario)

// Starts one task on a fresh worker and waits for its report, received queued in this thread as
// the main window gets it (a QSignalSpy on the worker would record in the worker's thread, a data
// race). Empty when no report came; the worker's thread ends with it.
template<typename Start> QString runOnWorker(Start start)
{
    QString report;
    QObject receiver;
    ThreadedFunctions worker;
    QObject::connect(&worker, &ThreadedFunctions::taskCompleted, &receiver,
                     [&report](const QString &text) { report = text; });
    start(worker);
    static_cast<void>(QTest::qWaitFor([&report] { return !report.isEmpty(); }, 30000));
    return report;
}
