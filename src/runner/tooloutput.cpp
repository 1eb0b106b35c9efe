#include "runner/tooloutput.h"

ToolOutputDecoder::ToolOutputDecoder()
    : m_decoder(QStringConverter::System)
{
}

QString ToolOutputDecoder::decode(const QByteArray &piece)
{
    const qsizetype zero = piece.indexOf('\0');
    return m_decoder.decode(zero < 0 ? QByteArrayView(piece) : QByteArrayView(piece).first(zero));
}
