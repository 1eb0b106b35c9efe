#pragma once

#include <QWidget>

class QLabel;
class QMovie;
class QPlainTextEdit;
class QTimer;

// The About window: the program, its author and a short animation in which one figure pushes
// the author's name into place while another beckons, and both celebrate once it has arrived.
class About : public QWidget
{
    Q_OBJECT

public:
    // Placed below the middle of the main window whose position and width are given.
    About(int mainX, int mainY, int mainWidth, QWidget *parent = nullptr);
    ~About() override;

signals:
    // The name has arrived; sent once per window.
    void animationFinished();

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void updateGifs();

private:
    void setupUi();
    void retranslateUi();
    void switchMovie(QLabel *label, QMovie *&movie, const QString &path);

    QLabel *m_titleLabel;
    QLabel *m_codedByLabel;
    QLabel *m_authorLabel;
    QLabel *m_contactLabel;
    QLabel *m_addressLabel;
    QPlainTextEdit *m_thanksText;

    QLabel *m_watcherLabel;
    QMovie *m_watcherMovie = nullptr;
    QLabel *m_pusherLabel;
    QMovie *m_pusherMovie = nullptr;
    QTimer *m_gifTimer;
};
