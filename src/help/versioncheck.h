#pragma once

#include "version.h"

#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

enum class VersionVerdict {
    Problem, // no number, or one of 0 or less
    Current,
    Outdated, // the public release is newer
    Higher,   // ours is newer than the public release
};

VersionVerdict compareVersion(double published);

// The site and its version file, on the web server named when the program was built.
QUrl websiteUrl();
QUrl versionFileUrl();

// Asks a web server for the published version number. Several requests may be outstanding;
// each ends in the manager's finished signal exactly once. A body longer than any version
// number, or a server that keeps the request open too long, aborts it.
class VersionCheck : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 MaxReplySize = 64;
    static constexpr int DefaultTimeoutMs = 5000;

    explicit VersionCheck(const QUrl &url, QObject *parent = nullptr);

    QUrl url() const { return m_url; }
    void setUrl(const QUrl &url) { m_url = url; }
    int timeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int timeoutMs) { m_timeoutMs = timeoutMs; }

    QNetworkAccessManager *manager() const { return m_manager; }

    // Sends one GET and returns at once.
    QNetworkReply *request();

    // The number a finished reply carries: 0 for a failed, aborted or oversized reply and for a
    // body that does not convert.
    static double publishedVersion(QNetworkReply *reply);

private:
    QUrl m_url;
    int m_timeoutMs = DefaultTimeoutMs;
    QNetworkAccessManager *m_manager;
};
