#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace TestHelpers {

// The widget of that object name below `parent`, found the way a user's test would reach it.
template<typename T> T *child(QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qWarning("no child %s", qPrintable(name));
    return found;
}

inline QString settingsPath()
{
    return QCoreApplication::applicationDirPath() + QLatin1String("/Tessary.ini");
}

inline bool writeSettings(const QByteArray &bytes)
{
    QFile file(settingsPath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray readSettings()
{
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void removeSettings()
{
    QFile::remove(settingsPath());
}

// A modal dialog blocks the code that opened it, so it is answered from a timer: the first modal
// dialog of type Dialog that appears within the time limit is handed to `answer`.
template<typename Dialog>
void answerNextModal(std::function<void(Dialog *)> answer, int timeLimitMs = 5000)
{
    auto *timer = new QTimer;
    auto *clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, answer, timeLimitMs] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog && clock->elapsed() < timeLimitMs)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (dialog)
            answer(dialog);
    });
    timer->start();
}

// What a message box said before the helper pressed its OK button.
struct MessageSeen
{
    bool shown = false;
    QString title;
    QString text;
};

inline void acceptNextMessageBox(MessageSeen *seen)
{
    answerNextModal<QMessageBox>([seen](QMessageBox *box) {
        seen->shown = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        box->accept();
    });
}

// What a file dialog showed before the helper answered it.
struct FileDialogSeen
{
    bool shown = false;
    QString title;
    QStringList nameFilters;
};

// Answers the next file dialog with `path`, or cancels it when `path` is empty. The path is typed
// into the dialog's own name field: selectFile() leaves that field alone while it has focus.
inline void answerNextFileDialog(const QString &path, FileDialogSeen *seen = nullptr)
{
    answerNextModal<QFileDialog>([path, seen](QFileDialog *dialog) {
        if (seen) {
            seen->shown = true;
            seen->title = dialog->windowTitle();
            seen->nameFilters = dialog->nameFilters();
        }
        auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (path.isEmpty() || !nameField) {
            dialog->reject();
            return;
        }
        nameField->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

} // namespace TestHelpers
