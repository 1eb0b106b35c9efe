#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

// Turns the pieces of a tool's standard output into text, in the local 8-bit encoding. A zero
// byte ends the text of its piece. One decoder serves a whole run, so a character whose bytes
// arrive in two pieces is still decoded whole.
class ToolOutputDecoder
{
public:
    ToolOutputDecoder();

    QString decode(const QByteArray &piece);

private:
    QStringDecoder m_decoder;
};
