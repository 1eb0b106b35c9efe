#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

// A decoder for Windows-1252, the code page of the Windows tools, under Wine too.
QStringDecoder windows1252Decoder();

// A line written by a Windows tool or by hand: UTF-8 where its bytes are valid UTF-8, and
// Windows-1252 where they are not, so that "Pok\xe9mon" and "Pok\xc3\xa9mon" read alike.
QString decodeUtf8OrWindows1252(QByteArrayView line);
