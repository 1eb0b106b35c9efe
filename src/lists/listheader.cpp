#include "lists/listheader.h"

#include "lists/regularfile.h"

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
    const RegularFileContents contents = readRegularFile(path, MaxHeaderBytes);
    if (contents.failed())
        return std::nullopt;
    QByteArrayView line = contents.bytes;
    const qsizetype end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    QStringDecoder decoder(QStringConverter::System);
    return ListHeader(decoder.decode(line));
}
