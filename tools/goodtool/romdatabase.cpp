#include "goodtool/romdatabase.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

const QByteArray inesMagic("NES\x1a", 4);
constexpr int inesJunkStart = 7;

bool isLowerHex(const QString &text)
{
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

} // namespace

QString romChecksum(const QByteArray &content)
{
    const QByteArrayView data = Ines::hasHeader(content)
                                    ? QByteArrayView(content).sliced(Ines::HeaderSize)
                                    : QByteArrayView(content);
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

QString fileChecksum(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (Ines::hasHeader(file.peek(Ines::HeaderSize)))
        file.skip(Ines::HeaderSize);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

bool isRomFileName(const QString &fileName)
{
    static const QLatin1String toolSuffixes[] = {
        QLatin1String(".txt"), QLatin1String(".db"),  QLatin1String(".dat"), QLatin1String(".exe"),
        QLatin1String(".cfg"), QLatin1String(".log"), QLatin1String(".ini")};
    if (fileName.isEmpty() || fileName.startsWith(u'.'))
        return false;
    for (const QLatin1String &suffix : toolSuffixes) {
        if (fileName.endsWith(suffix, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

bool Ines::hasHeader(const QByteArray &content)
{
    return content.size() >= HeaderSize && content.startsWith(inesMagic);
}

bool Ines::hasJunk(const QByteArray &content)
{
    if (!hasHeader(content))
        return false;
    for (int i = inesJunkStart; i < HeaderSize; ++i) {
        if (content.at(i) != '\0')
            return true;
    }
    return false;
}

QByteArray Ines::withCleanHeader(QByteArray content)
{
    if (hasHeader(content)) {
        for (int i = inesJunkStart; i < HeaderSize; ++i)
            content[i] = '\0';
    }
    return content;
}

QByteArray Ines::image(const QByteArray &body, const QByteArray &junk)
{
    QByteArray header(HeaderSize, '\0');
    header.replace(0, inesMagic.size(), inesMagic);
    header[4] = 1; // program banks of 16 KiB
    const QByteArray tag = junk.left(HeaderSize - inesJunkStart);
    header.replace(inesJunkStart, tag.size(), tag);
    return header + body;
}

RomDatabase::RomDatabase(const QString &system, const QString &version)
    : m_system(system)
    , m_version(version)
{
}

RomDatabase RomDatabase::load(const QString &path, const QString &defaultSystem,
                              QStringList *warnings)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return RomDatabase(defaultSystem, QStringLiteral("0.0"));
    return parse(file.readAll(), defaultSystem, warnings);
}

RomDatabase RomDatabase::parse(const QByteArray &text, const QString &defaultSystem,
                               QStringList *warnings)
{
    static const QString systemKey = QStringLiteral("System=");
    static const QString versionKey = QStringLiteral("Version=");
    constexpr int checksumLength = 40;

    RomDatabase database(defaultSystem, QStringLiteral("0.0"));
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines.at(i));
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(systemKey)) {
            database.m_system = line.mid(systemKey.size()).trimmed();
            continue;
        }
        if (line.startsWith(versionKey)) {
            database.m_version = line.mid(versionKey.size()).trimmed();
            continue;
        }
        const QString checksum = line.left(checksumLength).toLower();
        const QString name = line.mid(checksumLength + 1).trimmed();
        const bool isEntry =
            line.indexOf(u'\t') == checksumLength && isLowerHex(checksum) && !name.isEmpty();
        if (!isEntry) {
            if (warnings)
                *warnings << QStringLiteral("line %1 is not a database entry").arg(i + 1);
        } else if (!database.add(checksum, name) && warnings) {
            *warnings << QStringLiteral("line %1 repeats a checksum or name").arg(i + 1);
        }
    }
    return database;
}

bool RomDatabase::add(const QString &checksum, const QString &name)
{
    if (m_names.contains(checksum) || m_takenNames.contains(name))
        return false;
    m_entries.append({checksum, name});
    m_names.insert(checksum, name);
    m_takenNames.insert(name);
    return true;
}

QByteArray RomDatabase::toText() const
{
    QString text = QStringLiteral("# One \"<SHA-1><TAB><good name>\" line per known ROM.\n"
                                  "System=%1\nVersion=%2\n")
                       .arg(m_system, m_version);
    for (const RomEntry &entry : m_entries)
        text += entry.checksum + u'\t' + entry.name + u'\n';
    return text.toUtf8();
}
