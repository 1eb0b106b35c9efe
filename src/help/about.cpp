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

    watcherLabel = new QLabel(this);
    watcherLabel->setObjectName(QStringLiteral("watcherLabel"));
    switchMovie(watcherLabel, watcherMovie, QLatin1String(WatcherBeckons));
    watcherLabel->setGeometry(176, 56, 45, 48);
    watcherLabel->show();

    pusherLabel = new QLabel(this);
    pusherLabel->setObjectName(QStringLiteral("pusherLabel"));
    switchMovie(pusherLabel, pusherMovie, QLatin1String(PusherPushes));
    pusherLabel->setGeometry(-92, 48, 50, 45);
    pusherLabel->show();

    gifTimer = new QTimer(this);
    gifTimer->setObjectName(QStringLiteral("gifTimer"));
    connect(gifTimer, &QTimer::timeout, this, &About::updateGifs);
    gifTimer->start(TickMs);
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
    titleLabel = centredLabel("label", 16, 31);
    QFont titleFont = titleLabel->font();
    titleFont.setPointSize(10);
    titleLabel->setFont(titleFont);
    codedByLabel = centredLabel("label_2", 56, 16);
    authorLabel = createChild<QLabel>(this, "label_3", -36, 72, 40, 16);
    contactLabel = centredLabel("label_4", 96, 16);
    addressLabel = centredLabel("label_5", 112, 16);

    thanksText = createChild<QPlainTextEdit>(this, "plainTextEdit", 14, 144, 261, 88);
    thanksText->setReadOnly(true);

    retranslateUi();
}

void About::retranslateUi()
{
    setWindowTitle(tr("About"));
    titleLabel->setText(tr("Tessary " TESSARY_VERSION_TEXT));
    codedByLabel->setText(tr("Coded By:"));
    authorLabel->setText(tr("Ansel"));
    contactLabel->setText(tr("Contact"));
    addressLabel->setText(tr("tessary@example.org"));
    thanksText->setPlainText(
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
    pusherLabel->setGeometry(pusherLabel->x() + Step, pusherLabel->y(), 50, 45);
    authorLabel->setGeometry(authorLabel->x() + Step, authorLabel->y(), 40, 16);
    if (authorLabel->x() <= NameArrivesAfter)
        return;

    gifTimer->stop();
    switchMovie(watcherLabel, watcherMovie, QLatin1String(WatcherLaughs));
    watcherLabel->setGeometry(watcherLabel->x() + 7, watcherLabel->y() - 5, 45, 48);
    switchMovie(pusherLabel, pusherMovie, QLatin1String(PusherWins));
    pusherLabel->setGeometry(pusherLabel->x() + 7, pusherLabel->y() + 7, 31, 39);
    authorLabel->setGeometry(0, 72, 294, 16);
    authorLabel->setAlignment(Qt::AlignHCenter);
    emit animationFinished();
}
