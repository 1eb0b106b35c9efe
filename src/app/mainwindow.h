#pragma once

#include "settings/settingsloader.h"
#include "settings/systementry.h"

#include <QMainWindow>
#include <QNetworkReply>
#include <QPointer>

#include <memory>

class QLabel;
class QMovie;
class CommandPanel;
class CopyTxtToFolder;
class FixNesScript;
class MainWindowForm;
class MoveToRootRuns;
class Process;
class VersionCheck;

// The one window of Tessary: the output area, the system selector, the command panel, the
// summary table and the menus. Each slot hands its work to the subsystem that owns it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The table entry of the selector's current item; empty fields when none matches.
    SystemEntry selectedSystem() const;
    QStringList offeredSystemKeys() const;

    const SystemTable &systems() const { return m_systemTable; }
    const GlobalSettings &settings() const { return m_globalSettings; }

    // The tool's argument list, read off the command panel.
    QStringList buildArguments();

private slots:
    void on_actionWebsite_triggered();
    void on_actionHelp_triggered();
    void on_actionCheck_For_Updates_triggered();
    void on_selectSystemComboBox_currentIndexChanged(int index);
    void on_actionRom_Collection_Summary_triggered();
    void on_actionAbout_triggered();
    void on_actionCompare_Miss_Lists_triggered();
    void on_actionCopy_files_from_txt_to_Directory_triggered();
    void on_actionDelete_Lists_and_db_Files_triggered();
    void on_actionDelete_Specified_Roms_triggered();
    void on_actionGoodinfo_cfg_Swipe_triggered();
    void on_actionMove_Files_From_Ren_to_Root_triggered();
    void on_actionPreview_Available_Roms_triggered();
    void on_actionOpen_Rom_Dir_triggered();
    void on_actionGoodinfo_cfg_triggered();
    void on_actionTessary_ini_triggered();
    void on_action_Miss_List_triggered();
    void on_action_Have_List_triggered();
    void on_Clear_clicked(bool skipFrame2);
    void on_actionConfig_triggered();
    void on_Go_clicked();

public slots:
    void StopProcess();
    void StopGif(QString textEditMsg, bool deleteThreadedObject);
    void DeleteThreadedObject();
    void ShowAvailableTxt();
    void startAnimatedGif();
    void viewFrames();
    void replyFinished(QNetworkReply *reply);
    void fixNESslot(int stage);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void loadSettings(bool reload);
    void showSelectedList(const QString &suffix);

    CommandPanel panel() const;

    // Whether Go starts a run or stops the one running; the button shows it.
    enum class RunState { Idle, Running, Stopping };
    void setRunState(RunState state);

    void toolFailedToStart(const QString &message);
    void removeBusyIndicator();
    void stopFileChores();

    // Settings and systems, read from Tessary.ini.
    GlobalSettings m_globalSettings;
    SystemTable m_systemTable;
    SettingsLoader m_settingsLoader;

    // Run state.
    RunState m_runState = RunState::Idle;
    QPointer<Process> m_currentProcess;             // deletes itself when its tool has finished
    QPointer<Process> m_previewProcess;             // the same, for Preview Available Roms
    QString m_previewList;                          // the list the last preview writes
    std::unique_ptr<MoveToRootRuns> m_moveRuns;     // Move Files From *Ren to Root, one worker each
    std::unique_ptr<FixNesScript> m_fixNesScript;   // its stage picks the word of convert
    QList<QPointer<CopyTxtToFolder>> m_copyWindows; // each may run a copy of its own
    QLabel *m_gifLabel = nullptr;
    QMovie *m_gifMovie = nullptr;

    VersionCheck *m_versionCheck; // the update check's requests

    std::unique_ptr<MainWindowForm> m_ui;
};
