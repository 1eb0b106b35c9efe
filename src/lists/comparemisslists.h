#pragma once

#include <QWidget>

class QLineEdit;

// The Compare Lists window: the user's Miss list against another collector's, written out as
// "I_Need.txt" and "They_Need.txt" beside the user's list. It deletes itself when closed.
class CompareMissLists : public QWidget
{
    Q_OBJECT

public:
    // x, y and width are the main window's: the window opens centred over it, 100 pixels down.
    CompareMissLists(int x, int y, int width);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();

private:
    void setupForm();
    void askForList(QLineEdit *field);

    QLineEdit *m_yourListEdit;
    QLineEdit *m_theirListEdit;
};
