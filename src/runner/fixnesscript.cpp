#include "runner/fixnesscript.h"

#include "tasks/threadedfunctions.h"

#include <QCoreApplication>

namespace {

// The script speaks in the output area, among the main window's texts.
QString windowText(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

FixNesScript::FixNesScript(QObject *parent)
    : QObject(parent)
{
}

FixNesScript::~FixNesScript()
{
    delete m_fixNesWorker;
}

void FixNesScript::toolRunEnded(bool convertChecked, const QString &selectorText,
                                const QString &romPath)
{
    if (convertChecked && selectorText.startsWith(QLatin1String("[NES")) && m_fixNesStage < 4)
        startFileStep(romPath);
}

// The worker goes as soon as its step has been answered, so no thread outlives its stage.
void FixNesScript::startFileStep(const QString &romPath)
{
    auto *stepWorker = new ThreadedFunctions;
    delete m_fixNesWorker;
    m_fixNesWorker = stepWorker;
    connect(stepWorker, &ThreadedFunctions::fixNESCompleted, this, &FixNesScript::fileStepDone);
    connect(stepWorker, &ThreadedFunctions::fixNESCompleted, this, [this, stepWorker] {
        if (m_fixNesWorker == stepWorker)
            m_fixNesWorker = nullptr;
        delete stepWorker;
    });
    stepWorker->fixNESInvoke(romPath, m_fixNesStage);
}

void FixNesScript::fileStepEnded(int nextStage)
{
    if (nextStage > 3) {
        m_fixNesStage = 1;
        emit report(windowText("fixnes script complete"));
        return;
    }
    ++m_fixNesStage;
    emit runRequested();
    emit report(windowText("fixnes script stage %1 complete\nStarting stage %2")
                    .arg(m_fixNesStage - 1)
                    .arg(m_fixNesStage));
}
