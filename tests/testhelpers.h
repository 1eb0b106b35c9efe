#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace TestHelpers {

inline QString settingsPath()
{
    return QCoreApplication::applicationDirPath() + QLatin1String("/Tessary.ini");
}

inline bool writeSettings(const QByteArray &bytes)
{
    QFile file(settingsPath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
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

} // namespace TestHelpers
