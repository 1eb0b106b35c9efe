#include "goodtool/commands.h"

#include "goodtool/lists.h"
#include "goodtool/output.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

namespace {

// Which files a command sees besides those directly in the working directory.
enum class Scope { Here, HereAndRen, HereAndSubdirs };

QString renDir(const Context &c)
{
    return c.base + QLatin1String("Ren");
}

QString dupesDir(const Context &c)
{
    return c.base + QLatin1String("Dupes");
}

QStringList collection(const Context &c, Scope scope)
{
    switch (scope) {
    case Scope::Here:
        return romFiles(c.workDir, QString(), false);
    case Scope::HereAndRen:
        return romFiles(c.workDir, QString(), false) + romFiles(c.workDir, renDir(c), true);
    case Scope::HereAndSubdirs:
        return romFiles(c.workDir, QString(), true);
    }
    return {};
}

QString fileNameOf(const QString &path)
{
    return path.section(u'/', -1);
}

// The last suffix with its dot, lower-cased: "x.new.NES" gives ".nes".
QString lowerSuffix(const QString &path)
{
    const QString name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.mid(dot).toLower() : QString();
}

QString joinPath(const QStringList &parts)
{
    QStringList present;
    for (const QString &part : parts) {
        if (!part.isEmpty())
            present << part;
    }
    return present.join(u'/');
}

QString newFileName(const QString &goodName, const QString &suffix, const Options &o)
{
    QString stem = goodName;
    if (o.replaceSpaces)
        stem.replace(u' ', o.spaceReplacement);
    return stem + suffix;
}

QString letterFolder(const QString &goodName)
{
    const QChar first = goodName.at(0);
    if (first.isDigit())
        return QStringLiteral("0-9");
    if (first.isLetter())
        return first.toUpper();
    return QStringLiteral("Other");
}

// Never replaces a file: the caller has checked that `to` is free.
bool moveFile(Context &c, const QString &from, const QString &to)
{
    const QString target = c.workDir.filePath(to);
    const QString targetDir = QFileInfo(target).path();
    if (c.workDir.mkpath(targetDir) && QFile::rename(c.workDir.filePath(from), target))
        return true;
    c.out->error(QStringLiteral("Cannot move %1 to %2").arg(from, to));
    ++c.failures;
    return false;
}

QString goodNameOf(Context &c, const QString &file)
{
    const QString sum = c.checksums.of(file);
    if (sum.isEmpty()) {
        c.out->error(QStringLiteral("Cannot read %1").arg(file));
        ++c.failures;
    }
    return c.database.nameFor(sum);
}

QSet<QString> haveNames(Context &c, const QStringList &files)
{
    QSet<QString> have;
    for (const QString &file : files) {
        const QString name = c.database.nameFor(c.checksums.of(file));
        if (!name.isEmpty())
            have.insert(name);
    }
    return have;
}

void writeChecksumFile(Context &c, const QStringList &files)
{
    if (c.options.noDb)
        return;
    const QString name = QStringLiteral("Good%1.db").arg(c.base);
    const QByteArray text = c.checksums.cacheText(files);
    QSaveFile file(c.workDir.filePath(name));
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return;
    c.out->error(QStringLiteral("Cannot write %1: %2").arg(name, file.errorString()));
    ++c.failures;
}

// The end of every command that looks at the whole collection.
void writeListsFor(Context &c, const QStringList &files)
{
    writeChecksumFile(c, files);
    const QSet<QString> have = haveNames(c, files);
    const ListCounts counts = countLists(c.database, have, c.unwantedFlags);
    QString error;
    if (!writeLists(c.workDir, c.base, c.database, have, counts, &error)) {
        c.out->error(error);
        ++c.failures;
        return;
    }
    c.out->message(QStringLiteral("You have %1 of %2 known ROMs, listed in %3Have.txt")
                       .arg(counts.have)
                       .arg(counts.known)
                       .arg(c.base));
    c.out->message(QStringLiteral("You are missing %1 of %2 wanted ROMs, listed in %3Miss.txt")
                       .arg(counts.missing)
                       .arg(counts.wanted)
                       .arg(c.base));
}

// rename and move: known files go to <Base>Ren (or stay in place with `inplace`); a file whose
// target holds the same ROM already goes to <Base>Dupes instead.
void renameFiles(Context &c, bool keepNames)
{
    const Options &o = c.options;
    for (const QString &file : collection(c, Scope::Here)) {
        const QString goodName = goodNameOf(c, file);
        if (goodName.isEmpty()) {
            if (!c.checksums.of(file).isEmpty())
                c.out->fileLine(QStringLiteral("Unknown: %1").arg(file));
            continue;
        }
        const QString name = keepNames ? file : newFileName(goodName, lowerSuffix(file), o);
        QString target = joinPath(
            {o.inplace ? QString() : renDir(c), o.dirs ? letterFolder(goodName) : QString(), name});
        if (target == file) {
            c.out->fileLine(QStringLiteral("In place: %1").arg(file));
            continue;
        }
        QString verb = keepNames ? QStringLiteral("Moved") : QStringLiteral("Renamed");
        if (c.workDir.exists(target)) {
            if (c.checksums.of(target) != c.checksums.of(file)) {
                c.out->fileLine(
                    QStringLiteral("Kept %1: %2 exists with other content").arg(file, target));
                continue;
            }
            const QString dupe = joinPath({dupesDir(c), name});
            if (c.workDir.exists(dupe)) {
                c.out->fileLine(QStringLiteral("Kept %1: duplicate of %2, and %3 exists too")
                                    .arg(file, target, dupe));
                continue;
            }
            target = dupe;
            verb = QStringLiteral("Duplicate");
        }
        if (!moveFile(c, file, target))
            continue;
        c.checksums.moved(file, target);
        c.out->fileLine(QStringLiteral("%1 %2 -> %3").arg(verb, file, target));
    }
    writeListsFor(c, collection(c, Scope::HereAndRen));
}

void listFiles(Context &c)
{
    const QStringList files =
        collection(c, c.options.subdirs ? Scope::HereAndSubdirs : Scope::HereAndRen);
    for (const QString &file : files) {
        const QString goodName = goodNameOf(c, file);
        if (!goodName.isEmpty())
            c.out->fileLine(QStringLiteral("Have: %1 = %2").arg(file, goodName));
        else if (!c.checksums.of(file).isEmpty())
            c.out->fileLine(QStringLiteral("Unknown: %1").arg(file));
    }
    writeListsFor(c, files);
}

// Front ends pick report lines out by their first character, so the header must hold neither.
QString headerSafe(QString text)
{
    static const QRegularExpression brackets(QStringLiteral("[\\[\\]()]"));
    return text.remove(brackets);
}

void audit(Context &c)
{
    static const QRegularExpression flagPattern(QStringLiteral("\\[[^\\]]*\\]"));
    static const QRegularExpression groupPattern(QStringLiteral("\\([^)]*\\)"));
    const int level = c.options.auditLevel;
    const QStringList files = collection(c, Scope::HereAndRen);

    // The lists come first, so their summary stays in the header, above the report lines.
    c.out->message(QStringLiteral("Audit %1 of the %2 collection")
                       .arg(level)
                       .arg(headerSafe(c.database.system())));
    c.out->message(QStringLiteral("Database version %1 with %2 known ROMs")
                       .arg(headerSafe(c.database.version()))
                       .arg(c.database.entries().size()));
    c.out->message(QStringLiteral("%1 files seen").arg(files.size()));
    writeListsFor(c, files);
    c.out->message(QString());

    QStringList unknownFiles;
    for (const QString &file : files) {
        const QString name = goodNameOf(c, file);
        if (name.isEmpty()) {
            unknownFiles << file;
            continue;
        }
        if (level == 1 || level == 2) {
            auto flags = flagPattern.globalMatch(name);
            while (flags.hasNext()) {
                const QString flag = flags.next().captured();
                c.out->reportLine(level == 1 ? flag + u' ' + name : flag);
            }
        } else if (level == 3) {
            const QString group = groupPattern.match(name).captured();
            if (!group.isEmpty())
                c.out->reportLine(group);
        }
    }
    if (level == 4) {
        const ListCounts counts = countLists(c.database, haveNames(c, files), c.unwantedFlags);
        for (const QString &name : counts.missingNames)
            c.out->reportLine(QStringLiteral("[missing] ") + name);
    } else if (level == 5) {
        for (const QString &file : std::as_const(unknownFiles))
            c.out->reportLine(QStringLiteral("[unknown] ") + file);
    }
}

// Only the name changes: the image bytes stay as they are (no copier header is removed,
// nothing is de-interleaved), so a file keeps its checksum across the conversion.
int convert(Context &c)
{
    QStringList fromSuffixes;
    QString toSuffix;
    if (c.base == u"Gen") {
        fromSuffixes = {QStringLiteral(".smd")};
        toSuffix = QStringLiteral(".bin");
    } else if (c.base == u"SNES") {
        fromSuffixes = {QStringLiteral(".swc"), QStringLiteral(".fig")};
        toSuffix = QStringLiteral(".smc");
    } else {
        c.out->error(QStringLiteral("convert is not available for %1").arg(c.base));
        return 1;
    }
    int converted = 0;
    for (const QString &file : collection(c, Scope::Here)) {
        const QString suffix = lowerSuffix(file);
        if (!fromSuffixes.contains(suffix))
            continue;
        const QString target = file.chopped(suffix.size()) + toSuffix;
        if (c.workDir.exists(target)) {
            c.out->fileLine(QStringLiteral("Not converted %1: %2 exists").arg(file, target));
        } else if (moveFile(c, file, target)) {
            c.out->fileLine(QStringLiteral("Converted %1 -> %2").arg(file, target));
            ++converted;
        }
    }
    c.out->message(QStringLiteral("%1 files converted").arg(converted));
    return c.failures ? 1 : 0;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

// The original stays: the cleaned copy <name>.new.nes has the same checksum, so the front end
// can let rename sort out which of the two ends up in the collection.
int fixNes(Context &c)
{
    if (c.base != u"NES") {
        c.out->error(QStringLiteral("fixnes is only available for NES, not for %1").arg(c.base));
        return 1;
    }
    int fixed = 0;
    int clean = 0;
    for (const QString &file : collection(c, Scope::Here)) {
        if (lowerSuffix(file) != u".nes" || file.contains(u".new.nes", Qt::CaseInsensitive))
            continue;
        QFile in(c.workDir.filePath(file));
        if (!in.open(QIODevice::ReadOnly)) {
            c.out->error(QStringLiteral("Cannot read %1").arg(file));
            ++c.failures;
            continue;
        }
        const QByteArray content = in.readAll();
        const QString target = file.chopped(4) + QLatin1String(".new.nes");
        if (!Ines::hasHeader(content)) {
            c.out->fileLine(QStringLiteral("No iNES header: %1").arg(file));
        } else if (!Ines::hasJunk(content)) {
            c.out->fileLine(QStringLiteral("Header clean: %1").arg(file));
            ++clean;
        } else if (c.workDir.exists(target)) {
            c.out->fileLine(QStringLiteral("Not fixed %1: %2 exists").arg(file, target));
        } else if (!writeFile(c.workDir.filePath(target), Ines::withCleanHeader(content))) {
            c.out->error(QStringLiteral("Cannot write %1").arg(target));
            ++c.failures;
        } else {
            c.out->fileLine(QStringLiteral("Fixed header: %1 -> %2").arg(file, target));
            ++fixed;
        }
    }
    c.out->message(QStringLiteral("%1 files fixed, %2 already clean").arg(fixed).arg(clean));
    return c.failures ? 1 : 0;
}

} // namespace

int runCommand(Context &context)
{
    switch (context.options.command) {
    case Command::Rename:
        renameFiles(context, false);
        break;
    case Command::Move:
        renameFiles(context, true);
        break;
    case Command::Scan:
        context.out->message(QStringLiteral("%1 is accepted; this stand-in does not carry it out")
                                 .arg(context.options.commandWord));
        break;
    case Command::List:
        listFiles(context);
        break;
    case Command::Audit:
        audit(context);
        break;
    case Command::Convert:
        return convert(context);
    case Command::FixNes:
        return fixNes(context);
    }
    return context.failures ? 1 : 0;
}
