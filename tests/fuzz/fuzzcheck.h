#pragma once

#include <QByteArray>
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

// The fuzzer's own folder for the files it writes, removed when the run ends.
inline QString scratchFolder()
{
    static const QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid(), "a temporary folder can be made");
    return dir.path() + u'/';
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
