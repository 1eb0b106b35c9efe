#include "help/about.h"

#include "version.h"
#include "widgets/createchild.h"
#include "widgets/toolwindow.h"

#include <QEvent>
#include <QLabel>
#include <QMovie>
#include <QPlainTextEdit>
#include <QTimer>

namespace {
const char WatcherBeckons[] = ":/animatedGif/images/aniknuxcomeonR.gif";
const char PusherPushes[] = ":/animatedGif/images/sonic_push_edit.gif";
const char WatcherLaughs[] = ":/animatedGif/images/aniknuxlaugh.gif";
const char PusherWins[] = ":/animatedGif/images/anisonicwins.gif";

// The name stops once its left edge has passed this.
constexpr int NameArrivesAfter = 130;
constexpr int Step = 2;
constexpr int TickMs = 60;
} // namespace

About::About(int mainX, int mainY, int mainWidth, QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setupUi();
    setGeometry(QRect(toolWindowPosition(this, mainX, mainY, mainWidth), size()));

    m_watcherLabel = new QLabel(this);
    m_watcherLabel->setObjectName(QStringLiteral("watcherLabel"));
    switchMovie(m_watcherLabel, m_watcherMovie, QLatin1String(WatcherBeckons));
    m_watcherLabel->setGeometry(176, 56, 45, 48);
    m_watcherLabel->show();

    m_pusherLabel = new QLabel(this);
    m_pusherLabel->setObjectName(QStringLiteral("pusherLabel"));
    switchMovie(m_pusherLabel, m_pusherMovie, QLatin1String(PusherPushes));
    m_pusherLabel->setGeometry(-92, 48, 50, 45);
    m_pusherLabel->show();

    m_gifTimer = new QTimer(this);
    m_gifTimer->setObjectName(QStringLiteral("gifTimer"));
    connect(m_gifTimer, &QTimer::timeout, this, &About::updateGifs);
    m_gifTimer->start(TickMs);
}

// The labels, movies and timer are children and go with the window, whatever its state.
About::~About() = default;

void About::setupUi()
{
    setObjectName(QStringLiteral("About"));
    resize(294, 282);

    const auto centredLabel = [this](const char *name, int y, int height) {
        auto *created = createChild<QLabel>(this, name, 0, y, 294, height);
        created->setAlignment(Qt::AlignCenter);
        return created;
    };
    m_titleLabel = centredLabel("label", 16, 31);
    QFont titleFont = m_titleLabel->font();
    titleFont.setPointSize(10);
    m_titleLabel->setFont(titleFont);
    m_codedByLabel = centredLabel("label_2", 56, 16);
    m_authorLabel = createChild<QLabel>(this, "label_3", -36, 72, 40, 16);
    m_contactLabel = centredLabel("label_4", 96, 16);
    m_addressLabel = centredLabel("label_5", 112, 16);

    m_thanksText = createChild<QPlainTextEdit>(this, "plainTextEdit", 14, 144, 261, 88);
    m_thanksText->setReadOnly(true);

    retranslateUi();
}

void About::retranslateUi()
{
    setWindowTitle(tr("About"));
    m_titleLabel->setText(tr("Tessary " TESSARY_VERSION_TEXT));
    m_codedByLabel->setText(tr("Coded By:"));
    m_authorLabel->setText(tr("Ansel"));
    m_contactLabel->setText(tr("Contact"));
    m_addressLabel->setText(tr("tessary@example.org"));
    m_thanksText->setPlainText(
        tr("Thanks to the maker of the GoodTools and to everyone who has contributed to them.\n"
           "\n"
           "Thanks to the authors of the emulators that keep these games alive.\n"
           "\n"
           "Greetings to all my friends from the chat channels."));
}

void About::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void About::switchMovie(QLabel *target, QMovie *&movie, const QString &path)
{
    QMovie *old = movie;
    movie = new QMovie(path, QByteArray(), this);
    target->setMovie(movie);
    movie->start();
    delete old;
}

void About::updateGifs()
{
    m_pusherLabel->setGeometry(m_pusherLabel->x() + Step, m_pusherLabel->y(), 50, 45);
    m_authorLabel->setGeometry(m_authorLabel->x() + Step, m_authorLabel->y(), 40, 16);
    if (m_authorLabel->x() <= NameArrivesAfter)
        return;

    m_gifTimer->stop();
    switchMovie(m_watcherLabel, m_watcherMovie, QLatin1String(WatcherLaughs));
    m_watcherLabel->setGeometry(m_watcherLabel->x() + 7, m_watcherLabel->y() - 5, 45, 48);
    switchMovie(m_pusherLabel, m_pusherMovie, QLatin1String(PusherWins));
    m_pusherLabel->setGeometry(m_pusherLabel->x() + 7, m_pusherLabel->y() + 7, 31, 39);
    m_authorLabel->setGeometry(0, 72, 294, 16);
    m_authorLabel->setAlignment(Qt::AlignHCenter);
    emit animationFinished();
}
