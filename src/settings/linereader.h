#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Reads a text file in the local 8-bit encoding one line at a time, without its line end.
// LF, CR LF and a lone CR all end a line, so files from any platform read alike, and a file
// of any size is read in pieces. NULs and bytes that are no text in that encoding come through
// as characters (see decodeLocal8Bit).
class LineReader
{
public:
    explicit LineReader(QIODevice *device);

    // Puts the next line into `line`; false once the device has no more text.
    bool readLine(QString &line);

private:
    bool fillBuffer();

    QIODevice *m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    bool m_begun = false;
};

// Text in the local 8-bit encoding and back, without loss: where that encoding is UTF-8, a byte
// that is not part of a valid sequence (a Windows code page letter, say) becomes a lone
// surrogate U+DC80 to U+DCFF, which encodeLocal8Bit turns back into the same byte.
QString decodeLocal8Bit(QByteArrayView bytes);
QByteArray encodeLocal8Bit(QStringView text);
