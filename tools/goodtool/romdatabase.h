#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// What the substitute GoodTool, the demo generator and the tests agree on: which files count as
// ROMs, how a ROM is checksummed, and the database text that maps checksums to good names.

// Lower-case hex SHA-1 of a ROM image. An iNES image is hashed without its 16-byte header, so a
// copy whose header was cleaned keeps the checksum of the original.
QString romChecksum(const QByteArray &content);

// romChecksum() of a file's content, read in pieces; empty when the file cannot be read.
QString fileChecksum(const QString &path);

// False for hidden files and the tools' own files (lists, logs, databases, programs, settings).
bool isRomFileName(const QString &fileName);

namespace Ines {

constexpr int HeaderSize = 16;

// At least a header long and starting with "NES\x1a".
bool hasHeader(const QByteArray &content);

// A header whose bytes 7..15 are not all zero, as copier and ripper tags leave them.
bool hasJunk(const QByteArray &content);

// The same image with bytes 7..15 of its header zeroed; anything without a header is returned
// as it is.
QByteArray withCleanHeader(QByteArray content);

// A header for one 16 KiB program bank, with `junk` (at most 9 bytes are used) written into
// bytes 7..15, followed by `body`.
QByteArray image(const QByteArray &body, const QByteArray &junk = {});

} // namespace Ines

struct RomEntry
{
    QString checksum;
    QString name;
};

// Good<Base>.dat: UTF-8 text, LF or CR LF line ends.
//   # comment                  comment lines and blank lines are skipped
//   System=Nintendo Famicom/NES
//   Version=0.1 DEMO
//   <40 hex digits SHA-1><TAB><good name without extension>
class RomDatabase
{
public:
    RomDatabase(const QString &system, const QString &version);

    // A missing file is an empty database. Lines that are no entry, and entries whose checksum
    // or name came before, are skipped with a note in `warnings`.
    static RomDatabase load(const QString &path, const QString &defaultSystem,
                            QStringList *warnings = nullptr);
    static RomDatabase parse(const QByteArray &text, const QString &defaultSystem,
                             QStringList *warnings = nullptr);

    // False (and nothing added) when the checksum or the name is taken already.
    bool add(const QString &checksum, const QString &name);
    QByteArray toText() const;

    QString system() const { return m_system; }
    QString version() const { return m_version; }
    const QList<RomEntry> &entries() const { return m_entries; }
    QString nameFor(const QString &checksum) const { return m_names.value(checksum); }

private:
    QString m_system;
    QString m_version;
    QList<RomEntry> m_entries;
    QHash<QString, QString> m_names;
    QSet<QString> m_takenNames;
};
