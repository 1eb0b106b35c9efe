#pragma once

#include "settings/systementry.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QScrollArea;

// The configuration window: the global settings and one panel per configured system, saved
// back to Tessary.ini. It works on a copy of what the main window hands it and deletes itself
// when closed, saved or not, after telling closed() to whoever reads the file again.
class TestConfig : public QWidget
{
    Q_OBJECT

public:
    // Paths come as the file gives them (configuredGoodExeDir, configuredRomPath), so a relative
    // one stays relative; the flags come as the texts "true" or "false"; x, y and width are the
    // main window's.
    TestConfig(const SystemTable &systemTable, const QString &goodExeDir,
               const QString &sameAsRomPath, const QString &checkVersionAtStartup,
               const QString &loadSummaryAtStartup, int x, int y, int width);

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void Save();

private:
    void setupForm();
    QFrame *addSystemPanel(int index, const SystemEntry &entry);
    GlobalSettings enteredSettings() const;
    QList<SystemEntry> enteredSystems() const;
    QString keyProblem(const QList<SystemEntry> &systems) const;
    void setFolder(QPushButton *origin);
    void setFile(QPushButton *origin);

    QCheckBox *m_checkVersionBox;
    QCheckBox *m_loadSummaryBox;
    QLineEdit *m_goodExeDirEdit;
    QPushButton *m_exeDirButton;
    QComboBox *m_sameAsRomPathBox;
    QScrollArea *m_scrollArea;
    QWidget *m_systemPanels;
    QPushButton *m_saveButton;
};
