// How a copy's data can reach the disk before the copy takes its final name, on N small files
// copied from a tree into one folder of the same file system. Each way writes a copy under a
// hidden name beside its target and renames it (never replacing) into the target:
//
//   no sync            rename at once; after a power cut a final name may hold a short file
//   fdatasync each     fdatasync each copy before its rename; one fsync of the folder at the end
//   syncfs at end      rename at once, one syncfs at the end: done is durable, but a name may
//                      still reach the disk before its data (delayed allocation), so unsafe
//   syncfs per batch   write a batch of copies, one syncfs, then rename the batch; one more
//                      syncfs at the end for the names
//
// Wall and processor time (this process, user + system) per way, each on a fresh folder, after a
// sync so no way pays for an earlier one's writeback.
//
//   bench_durablecopy [files] [directories] [batches] [each]
//
// batches: batch sizes, comma-separated (default 100,1000); each: 0 leaves out "fdatasync each",
// which takes minutes (default 100000 1000 100,1000 1).
#include "benchsupport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Sizes
{
    int files = 100000;
    int dirs = 1000;
    int batch = 100;
};

[[noreturn]] void fail(const char *what)
{
    std::perror(what);
    std::exit(1);
}

QByteArray fileName(int i)
{
    return "Game " + QByteArray::number(i).rightJustified(6, '0') + " (U) [!].bin";
}

QByteArray sourcePath(const QByteArray &root, const Sizes &sizes, int i)
{
    return root + "/Dir" + QByteArray::number(i % sizes.dirs) + "Ren/" + fileName(i);
}

void buildTree(const QByteArray &root, const Sizes &sizes)
{
    const QByteArray content(1024, 'r');
    for (int d = 0; d < sizes.dirs; ++d)
        if (::mkdir(root + "/Dir" + QByteArray::number(d) + "Ren", 0755) != 0)
            fail("mkdir");
    for (int i = 0; i < sizes.files; ++i) {
        const int fd = ::open(sourcePath(root, sizes, i), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0 || ::write(fd, content.constData(), content.size()) != content.size())
            fail("write source");
        ::close(fd);
    }
}

// Writes the copy of `from` as `part`; with `sync`, its data is on disk when this returns.
void writePart(const QByteArray &from, const QByteArray &part, bool sync)
{
    char buffer[65536];
    const int in = ::open(from, O_RDONLY | O_CLOEXEC);
    const int out = ::open(part, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (in < 0 || out < 0)
        fail("open");
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0)
            fail("read");
        if (got == 0)
            break;
        if (::write(out, buffer, size_t(got)) != got)
            fail("write");
    }
    if (::fchmod(out, 0644) != 0 || (sync && ::fdatasync(out) != 0))
        fail("fchmod or fdatasync");
    ::close(in);
    ::close(out);
}

void publish(const QByteArray &part, const QByteArray &target)
{
    if (::renameat2(AT_FDCWD, part, AT_FDCWD, target, RENAME_NOREPLACE) != 0)
        fail("rename");
}

void syncFolder(const QByteArray &dir, bool wholeFileSystem)
{
    const int fd = ::open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || (wholeFileSystem ? ::syncfs(fd) : ::fsync(fd)) != 0)
        fail("sync");
    ::close(fd);
}

QByteArray partName(const QByteArray &dest, int i)
{
    return dest + "/.tessary-copy-" + QByteArray::number(i, 36);
}

enum class Way { NoSync, FdatasyncEach, SyncfsAtEnd, SyncfsPerBatch };

void copyAll(Way way, const QByteArray &source, const QByteArray &dest, const Sizes &sizes)
{
    QList<int> pending;
    const auto publishPending = [&] {
        syncFolder(dest, true);
        for (int i : pending)
            publish(partName(dest, i), dest + '/' + fileName(i));
        pending.clear();
    };
    for (int i = 0; i < sizes.files; ++i) {
        const QByteArray part = partName(dest, i);
        writePart(sourcePath(source, sizes, i), part, way == Way::FdatasyncEach);
        if (way != Way::SyncfsPerBatch) {
            publish(part, dest + '/' + fileName(i));
            continue;
        }
        pending << i;
        if (pending.size() >= sizes.batch)
            publishPending();
    }
    switch (way) {
    case Way::NoSync:
        break;
    case Way::FdatasyncEach:
        syncFolder(dest, false);
        break;
    case Way::SyncfsAtEnd:
        syncFolder(dest, true);
        break;
    case Way::SyncfsPerBatch:
        if (!pending.isEmpty())
            publishPending();
        syncFolder(dest, true);
        break;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    Sizes sizes;
    if (argc > 1)
        sizes.files = std::atoi(argv[1]);
    if (argc > 2)
        sizes.dirs = std::atoi(argv[2]);
    const QList<QByteArray> batches = QByteArray(argc > 3 ? argv[3] : "100,1000").split(',');
    const bool each = argc <= 4 || std::atoi(argv[4]) != 0;

    QTemporaryDir work;
    const QByteArray root = work.path().toLocal8Bit();
    const QByteArray source = root + "/src";
    if (::mkdir(source, 0755) != 0)
        fail("mkdir");
    buildTree(source, sizes);

    std::printf("%d files of 1 KiB from %d directories\n\n", sizes.files, sizes.dirs);
    std::printf("| %-22s | %9s | %9s |\n", "way", "wall", "processor");
    std::printf("|------------------------|-----------|-----------|\n");
    QList<std::pair<Way, QByteArray>> ways{{Way::NoSync, "no sync"}};
    if (each)
        ways.append({Way::FdatasyncEach, "fdatasync each"});
    ways.append({Way::SyncfsAtEnd, "syncfs at end (unsafe)"});
    for (const QByteArray &batch : batches)
        ways.append({Way::SyncfsPerBatch, "syncfs per " + batch});
    for (int i = 0; i < ways.size(); ++i) {
        const auto &[way, name] = ways.at(i);
        if (way == Way::SyncfsPerBatch)
            sizes.batch = name.mid(11).toInt();
        const QByteArray dest = root + "/dest" + QByteArray::number(i);
        if (::mkdir(dest, 0755) != 0)
            fail("mkdir");
        ::sync();
        QElapsedTimer clock;
        clock.start();
        const qint64 processorBefore = bench::processorMs();
        copyAll(way, source, dest, sizes);
        std::printf("| %-22s | %6lld ms | %6lld ms |\n", name.constData(),
                    static_cast<long long>(clock.elapsed()),
                    static_cast<long long>(bench::processorMs() - processorBefore));
        std::fflush(stdout);
    }
    return 0;
}
