#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QTextEdit;

// The Delete Roms window: deletes, without asking, the files of one ROM directory (and of the
// directories below it, if chosen) whose names carry a checked flag, reports them in the main
// window's output area and closes.
class DeleteRoms : public QWidget
{
    Q_OBJECT

public:
    // `names` are the systems' keys and `paths` their ROM directories, in the same order; x, y
    // and width are the main window's.
    DeleteRoms(const QStringList &names, const QStringList &paths, int x, int y, int width,
               QTextEdit *output);
    ~DeleteRoms() override;

private slots:
    void on_comboBox_currentIndexChanged(int index);
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();

private:
    void deleteMatchingRoms(const QString &directory, bool recursive);

    struct Form;
    Form *m_ui;
    QStringList m_romPaths;
    QPointer<QTextEdit> m_output;
};
