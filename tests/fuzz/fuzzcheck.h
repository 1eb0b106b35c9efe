#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// A broken property aborts, so that libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "Property broken: %s\n", what);                                   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// A folder of the fuzzer's own for the files it writes, removed when the run ends.
inline QString scratchFolder(const QString &name = {})
{
    static const QTemporaryDir dir;
    const QString folder = dir.path() + u'/' + name + (name.isEmpty() ? "" : "/");
    FUZZ_CHECK(dir.isValid() && QDir().mkpath(folder), "a temporary folder can be made");
    return folder;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
               "the fuzzer can write its input file");
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly), "the fuzzer can read a file back");
    return file.readAll();
}
