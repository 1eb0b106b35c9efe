#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

// Turns the pieces of a tool's standard output into text. A zero byte ends the text of its
// piece. One decoder serves a whole run, so a character whose bytes arrive in two pieces is
// still decoded whole, and so is a CR LF line end split between two pieces.
class ToolOutputDecoder
{
public:
    enum class Encoding {
        Local,       // a native tool: the local encoding
        Windows1252, // a Windows tool under Wine: its own code page
    };

    explicit ToolOutputDecoder(Encoding encoding = Encoding::Local);

    // The text of the next piece. A CR at its end is held back until the next piece tells
    // whether an LF follows, since the output area would take a lone CR for a line end of its own.
    QString decode(const QByteArray &piece);
    // What is held back, once the output has ended.
    QString flush();

private:
    QString decodeUtf8(QByteArrayView bytes);

    QStringDecoder m_decoder;
    bool m_utf8;            // a native tool on a system whose local encoding is UTF-8
    QByteArray m_heldBytes; // the start of a UTF-8 character whose other bytes are still to come
    bool m_atStart = true;
    bool m_heldCarriageReturn = false;
};
