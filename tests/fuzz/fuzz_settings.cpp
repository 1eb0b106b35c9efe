// Loads a fuzzed Tessary.ini. Besides surviving any text, the loader must never offer a system
// whose tool file or ROM folder is missing: the settings folder (also the current folder while
// it loads) holds some tools, a folder named like a tool and links to a tool that is there and to
// one that is not. Each system is made from the three lines of one block. The line reader must
// also read the same lines however the file arrives, and text read must be saved back as it was.
#include "settings/linereader.h"
#include "settings/settingsloader.h"

#include "fuzzcheck.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>

namespace {

// The folder of Tessary.ini, made once.
QString settingsFolder()
{
    static const QString folder = [] {
        const QString root = scratchFolder() + "ini/";
        for (const char *dir : {"roms/Gen", "roms/SNES", "tools", "GoodDir.exe"})
            QDir().mkpath(root + QLatin1String(dir));
        for (const char *tool : {"GoodGen.exe", "roms/Gen/GoodGen.exe", "tools/GoodSNES.exe"})
            writeFile(root + QLatin1String(tool), "tool");
        QFile::link(root + "GoodGen.exe", root + "tools/GoodGen.exe");
        QFile::link(root + "gone.exe", root + "tools/GoodNES.exe");
        return root;
    }();
    return folder;
}

struct Load
{
    GlobalSettings settings;
    SystemTable table;
    SettingsLoader::Result result;
};

Load load(QByteArrayView bytes)
{
    QByteArray text = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    Load load;
    load.result = SettingsLoader(settingsFolder()).load(&buffer, load.settings, load.table);
    return load;
}

// The file a run of the system starts is there, and so is its ROM folder.
bool isReady(const SystemEntry &system, const GlobalSettings &settings)
{
    return QFileInfo(toolPath(settings.goodExeDir, system.toolFile, system.romPath,
                              settings.sameAsRomPath))
               .isFile() &&
           QFileInfo(system.romPath).isDir();
}

// Where each line ends: after an LF, after a CR not followed by one, and at the end.
QList<qsizetype> lineEnds(QByteArrayView text)
{
    QList<qsizetype> ends;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ends.append(i + 1);
    }
    if (ends.isEmpty() || ends.last() != text.size())
        ends.append(text.size());
    return ends;
}

// The system offered as item `item` was completed by the line that first makes the loader
// offer item + 1 systems: the table and the settings after that line are what it was judged by.
void checkOffered(QByteArrayView text, qsizetype item)
{
    const QList<qsizetype> ends = lineEnds(text);
    const auto firstEnd = std::partition_point(ends.begin(), ends.end(), [&](qsizetype end) {
        return load(text.first(end)).result.offeredSystems.size() <= item;
    });
    FUZZ_CHECK(firstEnd != ends.end(), "an offered system is offered by some prefix of the file");
    const Load state = load(text.first(*firstEnd));
    const QString offered = state.result.offeredSystems.at(item);
    // Keys with spaces can make two systems look alike; one of them must be ready.
    bool ready = false;
    for (const SystemEntry &system : state.table)
        ready = ready || (selectorText(system) == offered && isReady(system, state.settings));
    FUZZ_CHECK(ready, "an offered system has its tool file and its ROM folder");
}

// Hands out the file in pieces of the given sizes, then the rest at once, as a pipe or a slow
// disk may. (Every read costs the reader a large buffer, which is slow under AddressSanitizer,
// so there are few pieces.)
class PieceDevice : public QIODevice
{
public:
    PieceDevice(const QByteArray &bytes, const QList<qint64> &pieceSizes)
        : m_bytes(bytes)
        , m_pieceSizes(pieceSizes)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 piece = m_pieceSizes.isEmpty() ? maxSize : m_pieceSizes.takeFirst();
        const qint64 size = std::min({maxSize, piece, m_bytes.size() - m_pos});
        std::copy_n(m_bytes.constData() + m_pos, size, data);
        m_pos += size;
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    QList<qint64> m_pieceSizes;
    qint64 m_pos = 0;
};

QStringList readLines(QIODevice *device)
{
    LineReader reader(device);
    QStringList lines;
    for (QString line; reader.readLine(line);)
        lines.append(line);
    return lines;
}

// Every system of the table is made by three system lines in a row, one of each kind, and never
// from two blocks: loaded alone, such three lines give every system there may be.
void checkBlocks(const QByteArray &text, const SystemTable &table)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    const auto kind = [](const QString &line) {
        return line.startsWith(u'[')                    ? 1
               : line.startsWith(QLatin1String("Rom"))  ? 2
               : line.startsWith(QLatin1String("File")) ? 4
                                                        : 0;
    };
    QStringList lines = readLines(&buffer);
    lines.removeIf([&](const QString &line) { return kind(line) == 0; });
    QList<SystemEntry> made;
    for (qsizetype i = 0; i + 3 <= lines.size(); ++i) {
        if ((kind(lines[i]) | kind(lines[i + 1]) | kind(lines[i + 2])) == 7)
            made += load(encodeLocal8Bit(lines.mid(i, 3).join(u'\n'))).table.values();
    }
    for (const SystemEntry &system : table)
        FUZZ_CHECK(made.contains(system), "a system is made from the three lines of one block");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A tool file given as a path is tested as written, from the current folder: the settings
    // folder while an input runs. libFuzzer keeps its own current folder for its corpus and its
    // findings.
    const QString previous = QDir::currentPath();
    FUZZ_CHECK(QDir::setCurrent(settingsFolder()), "the settings folder can be made current");
    const auto back = qScopeGuard([&previous] { QDir::setCurrent(previous); });
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const Load whole = load(text);
    for (qsizetype item = 0; item < whole.result.offeredSystems.size(); ++item)
        checkOffered(text, item);
    checkBlocks(text, whole.table);

    QList<qint64> pieceSizes;
    for (size_t i = 0; i < std::min<size_t>(size, 3); ++i)
        pieceSizes.append(data[i] % 32 + 1);
    PieceDevice atOnce(text, {}), pieces(text, pieceSizes);
    FUZZ_CHECK(readLines(&pieces) == readLines(&atOnce),
               "lines read alike however the file arrives");

    // What is read is saved byte for byte, whatever the encoding; only a byte order mark that
    // opens the text may go.
    const QByteArray saved = encodeLocal8Bit(decodeLocal8Bit(text));
    FUZZ_CHECK(saved == text || (text.startsWith("\xef\xbb\xbf") && saved == text.sliced(3)),
               "text read from the settings file is saved as it was");
    return 0;
}
