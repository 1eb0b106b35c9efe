#include "maintenance/goodinfoswipe.h"

#include "lists/regularfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

namespace {

#ifdef Q_OS_WIN
constexpr QByteArrayView LineEnd = "\r\n";
#else
constexpr QByteArrayView LineEnd = "\n";
#endif

constexpr QByteArrayView Utf8Bom = "\xEF\xBB\xBF";

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The file comes from Windows tools in whatever 8-bit encoding they use. A line is read as UTF-8
// only when that gives back its exact bytes, otherwise as Latin-1, which always does. `line`
// is reused from line to line, so that most lines cost no allocation.
void decodeLine(QByteArrayView bytes, QString &line)
{
    if (!isAscii(bytes)) {
        line = QString::fromUtf8(bytes);
        if (line.toUtf8() == bytes)
            return;
    }
    line = QLatin1String(bytes.data(), bytes.size());
}

} // namespace

bool isExcludedLine(QStringView line)
{
    return line.endsWith(u";n");
}

QString withExclusionMarker(const QString &line)
{
    if (isExcludedLine(line))
        return line;
    if (!line.contains(u';'))
        return line + QLatin1String(";;n");
    if (line.endsWith(u';'))
        return line + u'n';
    return line + QLatin1String(";n");
}

QString withoutExclusionMarker(const QString &line)
{
    if (line.endsWith(QLatin1String(";;n")))
        return line.chopped(3);
    if (line.endsWith(QLatin1String(";n")))
        return line.chopped(2);
    return line;
}

QString swipeAllText()
{
    return QCoreApplication::translate("GoodInfo", "Swipe All");
}

GoodinfoSwipe::GoodinfoSwipe(const QString &selection, const QStringList &itemTexts,
                             const RomFlagFilter &filter, bool excludeNone)
    : m_selection(selection)
    , m_itemTexts(itemTexts.cbegin(), itemTexts.cend())
    , m_filter(filter)
    , m_excludeNone(excludeNone)
    , m_swipeAll(selection == swipeAllText())
{
}

QString GoodinfoSwipe::processed(const QString &line) const
{
    if (m_filter.matches(line))
        return withExclusionMarker(line);
    if (m_excludeNone)
        return withoutExclusionMarker(line);
    return line;
}

QString GoodinfoSwipe::nextLine(const QString &line)
{
    if (line == m_selection) {
        m_inSection = true;
        return processed(line);
    }
    if (m_inSection && !m_itemTexts.contains(line))
        return processed(line);
    m_inSection = false;
    return m_swipeAll ? processed(line) : line;
}

QByteArray GoodinfoSwipe::swipe(QByteArrayView content)
{
    QByteArray out;
    out.reserve(content.size() + content.size() / 8 + 16);
    if (content.startsWith(Utf8Bom)) {
        out += Utf8Bom;
        content = content.sliced(Utf8Bom.size());
    }
    QString line;
    qsizetype pos = 0;
    while (pos < content.size()) {
        qsizetype end = content.indexOf('\n', pos);
        const qsizetype next = end < 0 ? content.size() : end + 1;
        if (end < 0)
            end = content.size();
        // CR LF ends a line as LF does, and so does a CR that is the file's last byte. Further
        // CRs before either belong to the line end too: kept in the line, a CR would be written
        // back as a CR LF, and every swipe would change the file.
        while (end > pos && content.at(end - 1) == '\r')
            --end;
        const QByteArrayView bytes = content.sliced(pos, end - pos);
        decodeLine(bytes, line);
        const QString written = nextLine(line);
        // The swipe only adds or removes ASCII at the end of a line, so the line's own bytes
        // are kept whatever its encoding.
        if (written.size() >= line.size()) {
            out += bytes;
            for (qsizetype i = line.size(); i < written.size(); ++i)
                out += char(written.at(i).unicode());
        } else {
            out += bytes.first(bytes.size() - (line.size() - written.size()));
        }
        out += LineEnd;
        pos = next;
    }
    return out;
}

SwipeOutcome swipeGoodinfoFile(const QString &path, GoodinfoSwipe swipe,
                               const std::function<void()> &beforeReplace)
{
    if (!QFile::exists(path))
        return {SwipeOutcome::Missing, {}};
    // Written back whole, the file must have been read whole.
    const RegularFileContents in = readRegularFile(path, WholeFileLimit);
    if (!in.complete())
        return {SwipeOutcome::ReadFailed, in.error};

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return {SwipeOutcome::WriteFailed, out.errorString()};

    const QByteArray swiped = swipe.swipe(in.bytes);
    // flush() before commit(): Qt 6.4 renames the new file into place even when the flush inside
    // commit() fails, so a full disk would cut the file and report success.
    if (out.write(swiped) != swiped.size() || !out.flush())
        return {SwipeOutcome::WriteFailed, out.errorString()};
    if (beforeReplace)
        beforeReplace();
    if (!out.commit())
        return {SwipeOutcome::WriteFailed, out.errorString()};
    return {};
}
