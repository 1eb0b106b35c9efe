#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <utility>

// Turns the bytes of a tool's standard output into text. One decoder serves a whole run, so a
// character whose bytes arrive in two pieces is still decoded whole, and so is a CR LF line end
// split between two pieces.
class ToolOutputDecoder
{
public:
    enum class Encoding {
        Local,       // a native tool: the local encoding
        Windows1252, // a Windows tool under Wine: its own code page
    };

    explicit ToolOutputDecoder(Encoding encoding = Encoding::Local);

    Encoding encoding() const { return m_encoding; }

    // The text of the next piece. A CR at its end is held back until the next piece tells
    // whether an LF follows, since the output area would take a lone CR for a line end of its own.
    QString decode(const QByteArray &piece);
    // What is held back, once the output has ended.
    QString flush();
    // Forgets a character or CR begun by earlier pieces, when the output goes on elsewhere.
    void reset();

private:
    QString decodeUtf8(QByteArrayView bytes);

    Encoding m_encoding;
    QStringDecoder m_decoder;
    bool m_utf8;            // a native tool on a system whose local encoding is UTF-8
    QByteArray m_heldBytes; // the start of a UTF-8 character whose other bytes are still to come
    bool m_atStart = true;
    bool m_heldCarriageReturn = false;
};

// A tool's output that waits to be shown, as the reads of the pipe delivered it. A zero byte
// ends the text of its read: the rest of that read is cut, and the next read shows again.
// At most `limit` bytes wait; beyond that whole lines go from the front, so that a tool that
// prints faster than its output can be shown never fills the memory.
class PendingToolOutput
{
public:
    explicit PendingToolOutput(qsizetype limit);

    void addRead(const QByteArray &read);
    // Up to `maxBytes` from the front.
    QByteArray take(qsizetype maxBytes);
    qsizetype size() const { return m_bytes.size() - m_front; }
    void clear();
    // Whether output went unshown since the last call: what is shown before it is not followed
    // by what waits now.
    bool takeDropped() { return std::exchange(m_dropped, false); }
    // Whether a read was cut at a zero byte since the last call.
    bool takeCut() { return std::exchange(m_cut, false); }

private:
    void dropFront(qsizetype bytes);

    QByteArray m_bytes;
    qsizetype m_front = 0; // where the waiting bytes begin in m_bytes
    qsizetype m_limit;
    bool m_dropped = false;
    bool m_cut = false;
};

// The last lines of a tool's standard error, which say why it failed. Only the last `limit`
// bytes are kept, so a chatty tool never fills the memory.
class ToolErrorTail
{
public:
    explicit ToolErrorTail(qsizetype limit = 4096);

    void add(const QByteArray &bytes);
    // What is kept, from the start of a line when its front had to go.
    QByteArray lines() const;

private:
    QByteArray m_bytes;
    qsizetype m_limit;
    bool m_frontCut = false;
};
