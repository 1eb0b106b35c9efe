#include "lists/listheader.h"

#include <QFile>
#include <QStringDecoder>

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray line = file.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    QStringDecoder decoder(QStringConverter::System);
    return ListHeader(decoder.decode(line));
}
