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
    const qsizetype zero = piece.indexOf('\0');
    QString text =
        m_decoder.decode(zero < 0 ? QByteArrayView(piece) : QByteArrayView(piece).first(zero));
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
