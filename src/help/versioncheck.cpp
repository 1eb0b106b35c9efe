#include "help/versioncheck.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

VersionVerdict compareVersion(double published)
{
    if (!(published > 0)) // also catches a NaN
        return VersionVerdict::Problem;
    if (published == TessaryVersion)
        return VersionVerdict::Current;
    return published > TessaryVersion ? VersionVerdict::Outdated : VersionVerdict::Higher;
}

static QUrl webServerUrl(const QString &path)
{
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QStringLiteral(TESSARY_WEB_HOST));
    url.setPath(path);
    return url;
}

QUrl websiteUrl()
{
    return webServerUrl(QStringLiteral("/Tessary/"));
}

QUrl versionFileUrl()
{
    return webServerUrl(QStringLiteral("/Tessary/versionWin.txt"));
}

VersionCheck::VersionCheck(const QUrl &url, QObject *parent)
    : QObject(parent)
    , m_url(url)
    , m_manager(new QNetworkAccessManager(this))
{
}

QNetworkReply *VersionCheck::request()
{
    QNetworkReply *reply = m_manager->get(QNetworkRequest(m_url));
    // The socket is no longer read once the buffer is full, so a huge body never piles up.
    reply->setReadBufferSize(MaxReplySize + 1);

    // Queued, so that the reply's finish never runs inside the network code's own signal.
    const auto abort = [reply] {
        QMetaObject::invokeMethod(
            reply,
            [reply] {
                if (reply->isRunning())
                    reply->abort();
            },
            Qt::QueuedConnection);
    };
    const auto abortWhenTooLong = [reply, abort] {
        const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
        if (reply->bytesAvailable() > MaxReplySize ||
            (declared.isValid() && declared.toLongLong() > MaxReplySize))
            abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, abortWhenTooLong);
    connect(reply, &QNetworkReply::readyRead, reply, abortWhenTooLong);

    // The whole request, not only a pause between bytes: a server trickling a few bytes at a time
    // would otherwise keep it open for minutes.
    QTimer::singleShot(m_timeoutMs, reply, abort);
    return reply;
}

double VersionCheck::publishedVersion(QNetworkReply *reply)
{
    if (reply->error() != QNetworkReply::NoError || reply->bytesAvailable() > MaxReplySize)
        return 0;
    bool converted = false;
    const double version = reply->read(MaxReplySize).toDouble(&converted);
    return converted ? version : 0;
}
