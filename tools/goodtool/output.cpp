#include "goodtool/output.h"

#include <QThread>

Output::Output(int paceMs)
    : m_paceMs(paceMs)
{
}

void Output::fileLine(const QString &text)
{
    print(stdout, text);
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
}

void Output::pace() const
{
    if (m_paceMs > 0)
        QThread::msleep(static_cast<unsigned long>(m_paceMs));
}
