#include "output.h"

#include <QThread>

#include <cstdio>

Output::Output(const QString &logPath, bool quiet, int paceMs)
    : m_log(logPath)
    , m_logWanted(!logPath.isEmpty())
    , m_quiet(quiet)
    , m_paceMs(paceMs)
{
    if (m_logWanted && !m_log.open(QIODevice::WriteOnly | QIODevice::Append))
        error(QStringLiteral("Cannot write the log %1: %2").arg(logPath, m_log.errorString()));
}

void Output::fileLine(const QString &text)
{
    if (m_quiet) {
        if (m_log.isOpen()) {
            m_log.write(text.toUtf8() + "\r\n");
            m_log.flush();
        }
    } else {
        print(stdout, text);
    }
    pace();
}

void Output::reportLine(const QString &text)
{
    print(stdout, text);
    pace();
}

void Output::message(const QString &text)
{
    print(stdout, text);
}

void Output::error(const QString &text)
{
    print(stderr, text);
}

void Output::print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
    if (m_log.isOpen()) {
        m_log.write(bytes + "\r\n");
        m_log.flush();
    }
}

void Output::pace() const
{
    if (m_paceMs > 0)
        QThread::msleep(static_cast<unsigned long>(m_paceMs));
}
