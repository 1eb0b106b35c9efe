#include "settings/linereader.h"

#include <QIODevice>

namespace {
constexpr qint64 ChunkSize = 64 * 1024;
}

LineReader::LineReader(QIODevice *device)
    : m_device(device)
    , m_decoder(QStringConverter::System)
{
}

bool LineReader::fillBuffer()
{
    if (m_atEnd)
        return false;
    const QByteArray bytes = m_device->read(ChunkSize);
    if (bytes.isEmpty()) {
        m_atEnd = true;
        return false;
    }
    // Drop what has been handed out already, so a long file never piles up in memory.
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    m_buffer += m_decoder.decode(bytes);
    return true;
}

bool LineReader::readLine(QString &line)
{
    qsizetype scanFrom = m_pos;
    for (;;) {
        const QChar *data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        qsizetype end = scanFrom;
        while (end < size && data[end] != u'\n' && data[end] != u'\r')
            ++end;

        if (end < size) {
            // A CR at the very end of the buffer may be the first half of a CR LF.
            if (data[end] == u'\r' && end + 1 == size && !m_atEnd) {
                const qsizetype offset = end - m_pos;
                if (fillBuffer()) {
                    scanFrom = m_pos + offset;
                    continue;
                }
            }
            line = m_buffer.mid(m_pos, end - m_pos);
            qsizetype next = end + 1;
            if (m_buffer.at(end) == u'\r' && next < m_buffer.size() && m_buffer.at(next) == u'\n')
                ++next;
            m_pos = next;
            return true;
        }

        const qsizetype scanned = size - m_pos;
        if (!fillBuffer()) {
            if (m_pos >= m_buffer.size())
                return false;
            line = m_buffer.mid(m_pos);
            m_pos = m_buffer.size();
            return true;
        }
        scanFrom = m_pos + scanned;
    }
}
