#include "runner/tooloutputdecoder.h"

#include "text/textdecoding.h"

namespace {

bool localIsUtf8()
{
    return QString::fromLocal8Bit("\xc3\xa9") == u"\u00e9";
}

QStringDecoder decoderFor(ToolOutputDecoder::Encoding encoding)
{
    if (encoding == ToolOutputDecoder::Encoding::Windows1252)
        return windows1252Decoder();
    // Qt's UTF-8 decoder loses the byte that follows a character left incomplete at the end of
    // one piece when that byte cannot continue it, so UTF-8 is decoded without state and
    // decodeUtf8 holds such a start back itself.
    if (localIsUtf8()) {
        return QStringDecoder(QStringConverter::Utf8,
                              QStringConverter::Flag::Stateless |
                                  QStringConverter::Flag::ConvertInitialBom);
    }
    return QStringDecoder(QStringConverter::System);
}

// The bytes at the end of `bytes` that begin a UTF-8 character and may still be completed.
qsizetype incompleteUtf8Tail(QByteArrayView bytes)
{
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, bytes.size()); ++back) {
        const auto byte = uchar(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const int length = byte >= 0xC2 && byte <= 0xDF   ? 2
                           : byte >= 0xE0 && byte <= 0xEF ? 3
                           : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                          : 1;
        return length > back ? back : 0;
    }
    return 0;
}

} // namespace

ToolOutputDecoder::ToolOutputDecoder(Encoding encoding)
    : m_encoding(encoding)
    , m_decoder(decoderFor(encoding))
    , m_utf8(encoding == Encoding::Local && localIsUtf8())
{
}

QString ToolOutputDecoder::decode(const QByteArray &piece)
{
    QString text = m_utf8 ? decodeUtf8(piece) : QString(m_decoder.decode(piece));
    if (m_heldCarriageReturn)
        text.prepend(u'\r');
    m_heldCarriageReturn = text.endsWith(u'\r');
    if (m_heldCarriageReturn)
        text.chop(1);
    return text;
}

QString ToolOutputDecoder::decodeUtf8(QByteArrayView bytes)
{
    QByteArray joined;
    if (!m_heldBytes.isEmpty()) {
        joined = m_heldBytes;
        joined += bytes;
        bytes = joined;
    }
    const qsizetype held = incompleteUtf8Tail(bytes);
    QString text = m_decoder.decode(bytes.first(bytes.size() - held));
    m_heldBytes = bytes.last(held).toByteArray();
    // Only a byte order mark that opens the output is dropped, as a decoder with state does.
    if (m_atStart && !text.isEmpty()) {
        m_atStart = false;
        if (text.startsWith(QChar::ByteOrderMark))
            text.remove(0, 1);
    }
    return text;
}

QString ToolOutputDecoder::flush()
{
    const bool held = std::exchange(m_heldCarriageReturn, false);
    return held ? QStringLiteral("\r") : QString();
}

void ToolOutputDecoder::reset()
{
    m_decoder.resetState();
    m_heldBytes.clear();
    m_atStart = true;
    m_heldCarriageReturn = false;
}

PendingToolOutput::PendingToolOutput(qsizetype limit)
    : m_limit(limit)
{
}

void PendingToolOutput::addRead(const QByteArray &read)
{
    const qsizetype zero = read.indexOf('\0');
    m_cut = m_cut || zero >= 0;
    if (m_front > 0 && m_front >= m_bytes.size() / 2) {
        m_bytes.remove(0, m_front); // the taken bytes go once they are half the buffer
        m_front = 0;
    }
    m_bytes.append(zero < 0 ? QByteArrayView(read) : QByteArrayView(read).first(zero));
    if (size() > m_limit)
        dropFront(size() - m_limit);
}

QByteArray PendingToolOutput::take(qsizetype maxBytes)
{
    const QByteArray piece = m_bytes.mid(m_front, maxBytes);
    m_front += piece.size();
    if (m_front == m_bytes.size())
        clear();
    return piece;
}

void PendingToolOutput::clear()
{
    m_bytes.clear();
    m_front = 0;
}

// Drops `bytes`, and on up to the start of a line when one follows: the last line stays, even
// when only its end fits.
void PendingToolOutput::dropFront(qsizetype bytes)
{
    const qsizetype lineEnd = m_bytes.indexOf('\n', m_front + bytes - 1);
    const bool lineFollows = lineEnd >= 0 && lineEnd + 1 < m_bytes.size();
    m_front = lineFollows ? lineEnd + 1 : m_front + bytes;
    m_dropped = true;
}

ToolErrorTail::ToolErrorTail(qsizetype limit)
    : m_limit(limit)
{
}

void ToolErrorTail::add(const QByteArray &bytes)
{
    m_frontCut = m_frontCut || m_bytes.size() + bytes.size() > m_limit;
    m_bytes += bytes.right(m_limit);
    if (m_bytes.size() > m_limit)
        m_bytes.remove(0, m_bytes.size() - m_limit);
}

QByteArray ToolErrorTail::lines() const
{
    const qsizetype lineStart = m_frontCut ? m_bytes.indexOf('\n') + 1 : 0;
    return m_bytes.mid(lineStart > 0 && lineStart < m_bytes.size() ? lineStart : 0);
}
