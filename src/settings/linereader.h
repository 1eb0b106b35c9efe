#pragma once

#include <QString>
#include <QStringDecoder>

class QIODevice;

// Reads a text file in the local 8-bit encoding one line at a time, without its line end.
// LF, CR LF and a lone CR all end a line, so files from any platform read alike, and a file
// of any size is read in pieces. Undecodable bytes and NULs come through as characters.
class LineReader
{
public:
    explicit LineReader(QIODevice *device);

    // Puts the next line into `line`; false once the device has no more text.
    bool readLine(QString &line);

private:
    bool fillBuffer();

    QIODevice *m_device;
    QStringDecoder m_decoder;
    QString m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
};
