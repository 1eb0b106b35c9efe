#include "tessarytest.h"

#include "app/mainwindow.h"
#include "demo/democollection.h"
#include "filetree.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

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

QString settingsPath()
{
    return QCoreApplication::applicationDirPath() + QLatin1String("/Tessary.ini");
}

bool writeSettings(const QByteArray &bytes)
{
    return writeFile(settingsPath(), bytes);
}

QByteArray readSettings()
{
    return readFile(settingsPath());
}

MessageBoxAnswerer::MessageBoxAnswerer(QMessageBox::StandardButton button)
{
    connect(&m_timer, &QTimer::timeout, this, [this, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen << box->windowTitle() + QLatin1String(": ") + box->text();
        QAbstractButton *answer =
            button == QMessageBox::NoButton ? box->defaultButton() : box->button(button);
        if (answer)
            answer->click();
        else
            box->accept();
    });
    m_timer.start(10);
}

void answerNextFileDialog(const QString &path, QString *seen)
{
    auto *timer = new QTimer;
    auto *clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, path, seen] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog && clock->elapsed() < 5000)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (!dialog)
            return;
        if (seen)
            *seen = dialog->windowTitle() + QLatin1String(": ") + dialog->nameFilters().join(u';');
        // selectFile() leaves the dialog's name field alone while it has focus: type into it.
        auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (path.isEmpty() || !nameField) {
            dialog->reject();
            return;
        }
        nameField->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    });
    timer->start(10);
}

Collection::Collection()
{
    QDir().mkpath(toolDir());
    QDir().mkpath(root() + QLatin1String("tmp"));
    m_oldTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(root() + QLatin1String("tmp")));
    globals = "Good*.exe Directory=" + toolDir().toUtf8() +
              "\nSame as Rom Path=false\nCheck Version At Startup=false\n"
              "Load Summary At Startup=false\n";
}

Collection::~Collection()
{
    m_window.reset();
    QFile::remove(settingsPath());
    qputenv("TMPDIR", m_oldTmpDir); // empty is as good as unset
}

void Collection::addSystem(const QString &key, const QString &title, const QString &toolName)
{
    const QString tool = toolName.isEmpty() ? QStringLiteral("Good%1.exe").arg(key) : toolName;
    QDir().mkpath(romDir(key));
    if (!QFileInfo::exists(toolDir() + tool) && !QFileInfo(tool).isAbsolute())
        writeFile(toolDir() + tool, "not a tool\n");
    m_systems +=
        QStringLiteral("\n[%1=%2\nRom Path=%3\nFile Name=%4\n")
            .arg(key, title.isEmpty() ? key + QLatin1String(" System") : title, romDir(key), tool)
            .toUtf8();
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

bool Collection::writeSettings() const
{
    return TessaryTest::writeSettings(globals + m_systems);
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

void Collection::closeWindow()
{
    m_window.reset();
}

void Collection::select(const QString &key)
{
    auto *selector = child<QComboBox>(m_window.get(), QStringLiteral("selectSystemComboBox"));
    const int index = selector->findText(u'[' + key + u' ', Qt::MatchStartsWith);
    if (index < 0)
        qWarning("no system %s", qPrintable(key));
    selector->setCurrentIndex(index);
}

void Collection::trigger(const QString &action)
{
    child<QAction>(m_window.get(), action)->trigger();
}

QPushButton *Collection::go() const
{
    return child<QPushButton>(m_window.get(), QStringLiteral("Go"));
}

void Collection::clickGo()
{
    QTest::mouseClick(go(), Qt::LeftButton);
}

bool Collection::waitForGo(int ms)
{
    return QTest::qWaitFor([this] { return go()->text() == QLatin1String("Go"); }, ms);
}

QString Collection::output() const
{
    return child<QTextEdit>(m_window.get(), QStringLiteral("textEdit"))->toPlainText();
}

QWidget *toolWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !qobject_cast<QMainWindow *>(widget) &&
            !qobject_cast<QMessageBox *>(widget))
            return widget;
    }
    return nullptr;
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

void runScenario(const WindowScenario &row, const std::function<QString(MainWindow *)> &shown)
{
    Collection collection;
    const auto atRoot = [&collection](QString text) {
        return text.replace(QLatin1String("<root>"), collection.root());
    };
    for (const QString &key : FileTree::list(row.systems))
        key.startsWith(u'*') ? collection.addDemoSystem(key.mid(1)) : collection.addSystem(key);
    QVERIFY(FileTree::build(collection.root(), FileTree::list(row.files)));
    QVERIFY(collection.startWindow());
    const auto tree = [&collection] {
        return FileTree::read(collection.root())
            .filter(QRegularExpression(QStringLiteral("^(?!tmp/)")));
    };
    const QStringList before = tree();
    // A window that took an empty folder name for the current directory would work on the root,
    // where it shows in the changes.
    const QString current = QDir::currentPath();
    QDir::setCurrent(collection.root());
    const auto seen = [&] {
        return shown ? shown(collection.window()) : collection.output();
    };
    seen();
    MessageBoxAnswerer answerer;
    collection.trigger(row.steps.section(u'|', 0, 0));
    QPointer<QWidget> window = toolWindow();
    fillIn(window, atRoot(row.steps.section(u'|', 1)));
    QDir::setCurrent(current);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // closed windows go
    const bool stays = window && window->isVisible();
    delete window;
    QTRY_COMPARE_WITH_TIMEOUT(seen(), atRoot(row.shown), 20000);
    QCOMPARE(answerer.seen.join(u'|'), atRoot(row.boxes));
    QCOMPARE(stays, row.stays);
    QCOMPARE(FileTree::changes(before, tree()), FileTree::list(row.changes));
}

} // namespace TessaryTest
