#include "settings/linereader.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr qint64 ChunkSize = 64 * 1024;

// A byte b (0x80 or above) that is no UTF-8 stands in the text as U+DC00 + b.
constexpr char16_t EscapeBase = 0xDC00;

bool localEncodingIsUtf8()
{
    static const bool utf8 = QByteArray(QStringEncoder(QStringConverter::System)(u"\u00e9")) ==
                             QByteArrayView("\xc3\xa9");
    return utf8;
}

// The length of the UTF-8 sequence that a byte starts; 0 for a byte that starts none.
qsizetype sequenceLength(uchar lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

QString decodeUtf8Escaped(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<uchar>(bytes[i]);
        const qsizetype length = sequenceLength(lead);
        const QByteArrayView sequence = bytes.sliced(i, qMin(length, bytes.size() - i));
        qsizetype used = 1;
        if (length == 1) {
            text += QLatin1Char(char(lead));
        } else if (length > 1 && sequence.size() == length && sequence.isValidUtf8()) {
            // fromUtf8 drops a byte order mark, which is no text only where it opens the text.
            const QString character = QString::fromUtf8(sequence);
            text += character.isEmpty() && i > 0 ? QString(QChar::ByteOrderMark) : character;
            used = length;
        } else {
            text += QChar(char16_t(EscapeBase + lead));
        }
        i += used;
    }
    return text;
}

QByteArray encodeUtf8Escaped(QStringView text)
{
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // The low half of a surrogate pair belongs to its character: it is no escaped byte.
        if (c < EscapeBase + 0x80 || c > EscapeBase + 0xFF ||
            (i > 0 && text[i - 1].isHighSurrogate())) {
            continue;
        }
        bytes += text.sliced(from, i - from).toUtf8();
        bytes += char(c - EscapeBase);
        from = i + 1;
    }
    bytes += text.sliced(from).toUtf8();
    return bytes;
}

} // namespace

QString decodeLocal8Bit(QByteArrayView bytes)
{
    if (localEncodingIsUtf8())
        return decodeUtf8Escaped(bytes);
    return QStringDecoder(QStringConverter::System).decode(bytes);
}

QByteArray encodeLocal8Bit(QStringView text)
{
    if (localEncodingIsUtf8())
        return encodeUtf8Escaped(text);
    return QStringEncoder(QStringConverter::System).encode(text);
}

LineReader::LineReader(QIODevice *device)
    : m_device(device)
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
    m_buffer += bytes;
    // A UTF-8 byte order mark that opens the file is no text in any local encoding (Windows
    // editors write one).
    if (!m_begun && m_buffer.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
    m_begun = true;
    return true;
}

// Lines are cut from the bytes and decoded one by one: CR and LF are the same bytes in every
// encoding the settings file may be in, and a line is all a lossless decoding needs to see.
bool LineReader::readLine(QString &line)
{
    qsizetype scanFrom = m_pos;
    for (;;) {
        const char *data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        qsizetype end = scanFrom;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;

        if (end < size) {
            // A CR at the very end of the buffer may be the first half of a CR LF.
            if (data[end] == '\r' && end + 1 == size && !m_atEnd) {
                const qsizetype offset = end - m_pos;
                if (fillBuffer()) {
                    scanFrom = m_pos + offset;
                    continue;
                }
            }
            line = decodeLocal8Bit(QByteArrayView(m_buffer).sliced(m_pos, end - m_pos));
            qsizetype next = end + 1;
            if (m_buffer.at(end) == '\r' && next < m_buffer.size() && m_buffer.at(next) == '\n')
                ++next;
            m_pos = next;
            return true;
        }

        const qsizetype scanned = size - m_pos;
        if (!fillBuffer()) {
            if (m_pos >= m_buffer.size())
                return false;
            line = decodeLocal8Bit(QByteArrayView(m_buffer).sliced(m_pos));
            m_pos = m_buffer.size();
            return true;
        }
        scanFrom = m_pos + scanned;
    }
}
