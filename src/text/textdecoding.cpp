#include "text/textdecoding.h"

#include <utility>

QStringDecoder windows1252Decoder()
{
    QStringDecoder windows("windows-1252");
    // Without ICU, Latin-1 is the nearest: it differs only in 0x80 to 0x9F.
    return windows.isValid() ? std::move(windows) : QStringDecoder(QStringConverter::Latin1);
}

QString decodeUtf8OrWindows1252(QByteArrayView line)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(line);
    if (!utf8.hasError())
        return text;
    return windows1252Decoder().decode(line);
}
