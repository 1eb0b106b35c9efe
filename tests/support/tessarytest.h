#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

class MainWindow;
class QPushButton;

// What the tests share: files and settings, answering modal dialogs, and a collection on disk with
// a main window over it.
namespace TessaryTest {

// The widget of that object name below `parent`, found the way a user's test would reach it.
template<typename T> T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qWarning("no child %s", qPrintable(name));
    return found;
}

bool writeFile(const QString &path, const QByteArray &content, bool executable = false);
QByteArray readFile(const QString &path); // "<unreadable>" when it cannot be read

// Tessary.ini beside the test program, where the program looks for it.
QString settingsPath();
bool writeSettings(const QByteArray &bytes);
QByteArray readSettings();

// Answers every message box that opens while it lives with `button` (its default button when
// none is given) and keeps "title: text" of each, in order.
class MessageBoxAnswerer : public QObject
{
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton button = QMessageBox::NoButton);
    QStringList seen;

private:
    QTimer m_timer;
};

// Answers the next file dialog with `path`, or cancels it when `path` is empty; `seen` gets its
// "title: filters".
void answerNextFileDialog(const QString &path, QString *seen = nullptr);

// A collection in a temporary root: the tools in root/tools/, each system's ROMs in
// "root/<key> roms/", previews in root/tmp/ (TMPDIR). Everything goes when it does.
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
    bool writeSettings() const;

    MainWindow *startWindow(); // shown and exposed
    MainWindow *window() const { return m_window.get(); }
    void closeWindow();

    void select(const QString &key); // the selector's "[key ..." item
    void trigger(const QString &action);
    QPushButton *go() const;
    void clickGo();
    bool waitForGo(int ms = 20000); // until the button says "Go" again
    QString output() const;

private:
    QTemporaryDir m_root;
    QByteArray m_systems;
    QByteArray m_oldTmpDir;
    std::unique_ptr<MainWindow> m_window;
};

// The window a menu action opened: the visible top-level widget that is neither a main window
// nor a message box; null when there is none.
QWidget *toolWindow();

// Fills in `window` as a user would, "name=text|name" in order: a line edit gets the text, a
// combo box the item of that text, a check box or push button named alone is clicked.
void fillIn(QWidget *window, const QString &fields);

// One row of a window scenario table. "<root>" in any text stands for the collection's root.
struct WindowScenario
{
    QString systems; // keys, "|" between; "*Gen" is the demo system with the substitute tool
    QString files;   // written before the window starts; see FileTree::build()
    QString steps;   // a menu action's object name, then the fields of its window; see fillIn()
    QString boxes;   // each message box as "title: text", "|" between; all get their default
    bool stays;      // the window is still open after the steps
    QString shown;   // the output area once done, unless runScenario() is told otherwise
    QString changes; // to the files below the root outside tmp/; see FileTree::changes()
};

// Starts the window over a collection made as `row` says, takes the steps and compares. `shown`
// tells what the user sees, the output area when it is empty; it may take a while to show. It
// runs once before the steps too, where it may set the window up as a user would.
void runScenario(const WindowScenario &row, const std::function<QString(MainWindow *)> &shown = {});

} // namespace TessaryTest

Q_DECLARE_METATYPE(TessaryTest::WindowScenario)
