// Copies by a fuzzed list of names from a small collection: names with flags, dots, blanks,
// letters beyond ASCII, a name in a Windows code page, a hidden file, a sub-folder and a link to
// a file outside. Every file the copy reports must be in the destination, whole, and nothing else.
#include "tasks/copyfromlist.h"

#include "fuzzcheck.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>

namespace {

struct Collection
{
    QString source, destination, list;
};

// Qt cannot name a file whose name is no UTF-8, so it cannot remove it with its folder either.
struct RemovedAtExit
{
    QByteArray path;
    ~RemovedAtExit() { std::remove(path.constData()); }
};

const Collection &collection()
{
    static const Collection folders = [] {
        const QString root = scratchFolder() + "copy/";
        const Collection made{root + "roms/", root + "dest/", root + "list.txt"};
        QDir().mkpath(made.source + "sub");
        QDir().mkpath(root + "outside");
        for (const char *name :
             {"Name (E).bin", "Name (E) [b1].bin", "name (e).bin", "Sonic (W).smd", "Sonic (W).zip",
              "Name rev 2.1.bin", ".hidden.bin", "Caf\xc3\xa9 (F).bin", "Trailing .bin",
              " Leading.bin", "NoExtension", "sub/Deep (U) [!].bin", "sub/Sonic (W).smd",
              "sub/Name (E).bin"}) {
            writeFile(made.source + QString::fromUtf8(name), QByteArray("data of ") + name);
        }
        writeFile(root + "outside/Real.bin", "outside");
        QFile::link(root + "outside/Real.bin", made.source + "Linked (J).bin");
        // A name that is no UTF-8, as an old archive leaves it.
        static const RemovedAtExit latin1{QFile::encodeName(made.source) + "Caf\xe9 (F).bin"};
        FILE *file = std::fopen(latin1.path.constData(), "w");
        FUZZ_CHECK(file && std::fclose(file) == 0, "a file with a Latin-1 name can be made");
        return made;
    }();
    return folders;
}

// The bytes of every source file named `fileName`, in the folders the copy searched.
QList<QByteArray> sourcesNamed(const QString &source, const QString &fileName, bool subDirs)
{
    QList<QByteArray> found;
    for (QDirIterator files(source, QDir::Files | QDir::Hidden | QDir::System,
                            subDirs ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
         files.hasNext();) {
        if (files.nextFileInfo().fileName() == fileName)
            found.append(readFile(files.filePath()));
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool subDirs = input.ConsumeBool();
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const Collection &folders = collection();
    writeFile(folders.list, QByteArray(rest.data(), qsizetype(rest.size())));
    QDir(folders.destination).removeRecursively();
    FUZZ_CHECK(QDir().mkpath(folders.destination), "the destination can be made");

    const CopyFromListResult result =
        copyFilesFromList(folders.list, folders.destination, folders.source, subDirs);
    FUZZ_CHECK(result.listRead && !result.stopped, "the list is read and the walk ends");
    for (const QString &failed : result.failed)
        FUZZ_CHECK(QFileInfo(failed).fileName().contains(QChar::ReplacementCharacter),
                   "only a file whose name is no UTF-8 fails to copy");

    const QFileInfoList copies =
        QDir(folders.destination).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    FUZZ_CHECK(copies.size() == result.copied, "every copy counted is there, and no other");
    for (const QFileInfo &copy : copies) {
        FUZZ_CHECK(!copy.fileName().startsWith(u'.'), "hidden files are not copied");
        FUZZ_CHECK(sourcesNamed(folders.source, copy.fileName(), subDirs)
                       .contains(readFile(copy.filePath())),
                   "a copy holds the bytes of a source file of its name");
    }
    return 0;
}
