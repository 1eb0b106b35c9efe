#include "runner/tooloutputdecoder.h"

namespace {

QStringDecoder decoderFor(ToolOutputDecoder::Encoding encoding)
{
    if (encoding == ToolOutputDecoder::Encoding::Windows1252) {
        QStringDecoder windows("windows-1252");
        // Without ICU, Latin-1 is the nearest: it differs only in 0x80 to 0x9F.
        return windows.isValid() ? std::move(windows) : QStringDecoder(QStringConverter::Latin1);
    }
    return QStringDecoder(QStringConverter::System);
}

} // namespace

ToolOutputDecoder::ToolOutputDecoder(Encoding encoding)
    : m_decoder(decoderFor(encoding))
{
}

QString ToolOutputDecoder::decode(const QByteArray &piece)
{
    QString text = m_decoder.decode(piece);
    if (m_heldCarriageReturn)
        text.prepend(u'\r');
    m_heldCarriageReturn = text.endsWith(u'\r');
    if (m_heldCarriageReturn)
        text.chop(1);
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
    m_heldCarriageReturn = false;
}

PendingToolOutput::PendingToolOutput(qsizetype limit)
    : m_limit(limit)
{
}

void PendingToolOutput::addRead(const QByteArray &read)
{
    const qsizetype zero = read.indexOf('\0');
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
