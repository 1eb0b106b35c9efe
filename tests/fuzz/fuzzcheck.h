#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <fuzzer/FuzzedDataProvider.h>

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

// Two texts from one input, cut where its last two bytes say: two lists to read side by side.
inline std::pair<QByteArray, QByteArray> twoTexts(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const auto split = input.ConsumeIntegral<quint16>();
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QByteArray both(rest.data(), qsizetype(rest.size()));
    const QByteArray first = both.left(split % (both.size() + 1));
    return {first, both.mid(first.size())};
}
