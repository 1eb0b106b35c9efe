#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ThreadedFunctions;

namespace Ui {
// The Copy window's widgets; setupUi gives each its object name.
struct CopyTxtToFolder
{
    void setupUi(QWidget *window);
    void retranslateUi(QWidget *window);

    QLabel *listLabel;
    QLineEdit *listFileEdit;
    QPushButton *listFileButton;
    QLabel *fileFolderLabel;
    QLineEdit *fileFolderEdit;
    QPushButton *fileFolderButton;
    QLabel *destinationLabel;
    QLineEdit *destinationEdit;
    QPushButton *destinationButton;
    QCheckBox *searchSubDirsBox;
    QPushButton *goButton;
};
} // namespace Ui

// Copies the files a text list names from a folder into another one. After Go the window hides
// while its worker copies, relays the worker's report to the main window and closes.
class CopyTxtToFolder : public QWidget
{
    Q_OBJECT

public:
    // x, y and width are the main window's; the window places itself below its middle.
    CopyTxtToFolder(int x, int y, int width);
    // Closed while the copy runs: the copy ends after the file in hand and still reports.
    ~CopyTxtToFolder() override;

signals:
    void StartGif();
    void StopGifSignal(QString textEditMsg, bool deleteThreadedObject);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();

public slots:
    void StopGif(QString textEditMsg, bool deleteThreadedObject);

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::CopyTxtToFolder *m_ui;
    ThreadedFunctions *m_worker = nullptr;
    bool m_reported = false; // the worker's report has been relayed
};
