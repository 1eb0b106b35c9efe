#include "lists/listheader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {
// A header is a few dozen bytes; a list without a line end must not be read whole.
constexpr qsizetype MaxHeaderBytes = 4096;
} // namespace

ListHeader::ListHeader(const QString &firstLine)
    : m_line(firstLine)
    , m_words(firstLine.split(u' ', Qt::KeepEmptyParts))
{
}

QString ListHeader::word(int index) const
{
    return m_words.value(index);
}

QString ListHeader::versionText() const
{
    const qsizetype open = m_line.indexOf(u'(');
    return open < 0 ? m_line : m_line.mid(open);
}

std::optional<ListHeader> ListHeader::read(const QString &path)
{
    // A FIFO or a device would keep the window waiting for data, or never end.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    // Unbuffered, in small pieces: a summary reads hundreds of lists and needs a few dozen
    // bytes of each.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    QByteArray line;
    qsizetype end = -1;
    while (end < 0 && line.size() < MaxHeaderBytes) {
        const QByteArray piece = file.read(qMin<qint64>(256, MaxHeaderBytes - line.size()));
        if (piece.isEmpty())
            break;
        end = piece.indexOf('\n');
        line += end < 0 ? piece : piece.left(end);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    QStringDecoder decoder(QStringConverter::System);
    return ListHeader(decoder.decode(line));
}
