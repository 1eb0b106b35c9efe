#pragma once

#include <QStringList>
#include <QWidget>

// The Goodinfo.cfg swipe window: marks the flag lines of one system's section, or of the whole
// file, so that the tools exclude those dumps, or with "Exclude None" takes the marks off.
class GoodInfo : public QWidget
{
    Q_OBJECT

public:
    // `keys` are the section names offered after "Swipe All"; x, y and width are the main
    // window's.
    GoodInfo(const QStringList &keys, const QString &initialPath, int x, int y, int width);
    ~GoodInfo() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_checkBox_7_clicked();
    // Each flag box takes "Exclude None" off: the two never stand checked together by clicking.
    void on_checkBox_clicked();
    void on_checkBox_2_clicked();
    void on_checkBox_3_clicked();
    void on_checkBox_4_clicked();
    void on_checkBox_5_clicked();
    void on_checkBox_6_clicked();
    void on_checkBox_8_clicked();
    void on_checkBox_9_clicked();
    void on_checkBox_10_clicked();
    void on_checkBox_11_clicked();

private:
    void uncheckExcludeNone();
    void warn(const QString &text);

    struct Form;
    Form *m_ui;
};
