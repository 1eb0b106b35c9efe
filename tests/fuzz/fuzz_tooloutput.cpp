// Shows a tool's standard output as the window does: each read of the pipe waits, cut at its first
// zero byte, until slices of it are decoded. However the output was split into reads and slices,
// the text must be that of the whole output, each read cut at its zero byte; and waiting output
// must stay within its limit, whole unless it says that some was dropped.
#include "runner/tooloutputdecoder.h"

#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <vector>

namespace {

// The output cut where the positions say, each taken modulo the output's size plus one.
QList<QByteArray> readsOf(const QByteArray &output, std::vector<quint16> positions)
{
    for (quint16 &position : positions)
        position %= output.size() + 1;
    std::sort(positions.begin(), positions.end());
    QList<QByteArray> reads;
    qsizetype from = 0;
    for (const qsizetype cut : positions) {
        reads.append(output.mid(from, cut - from));
        from = cut;
    }
    reads.append(output.mid(from));
    return reads;
}

// A zero byte ends the text of its read.
QByteArray textOf(const QByteArray &read)
{
    const qsizetype zero = read.indexOf('\0');
    return zero < 0 ? read : read.first(zero);
}

// The text a run shows when every read waits until slices of `sliceBytes` are taken from it.
QString shown(ToolOutputDecoder::Encoding encoding, const QList<QByteArray> &reads,
              qsizetype sliceBytes)
{
    ToolOutputDecoder decoder(encoding);
    PendingToolOutput pending(1 << 20);
    QString text;
    for (const QByteArray &read : reads) {
        pending.addRead(read);
        while (pending.size() > 0)
            text += decoder.decode(pending.take(sliceBytes));
    }
    FUZZ_CHECK(!pending.takeDropped(), "output within the limit is never dropped");
    return text + decoder.flush();
}

QString decodedWhole(ToolOutputDecoder::Encoding encoding, const QList<QByteArray> &reads)
{
    QByteArray bytes;
    for (const QByteArray &read : reads)
        bytes += textOf(read);
    ToolOutputDecoder decoder(encoding);
    return decoder.decode(bytes) + decoder.flush();
}

void checkBounded(const QList<QByteArray> &reads, qsizetype limit)
{
    PendingToolOutput pending(limit);
    QByteArray waiting;
    for (const QByteArray &read : reads) {
        pending.addRead(read);
        waiting += textOf(read);
        FUZZ_CHECK(pending.size() <= limit, "waiting output stays within its limit");
    }
    const bool dropped = pending.takeDropped();
    const QByteArray taken = pending.take(pending.size());
    FUZZ_CHECK(waiting.endsWith(taken), "what waits is the end of the output");
    FUZZ_CHECK(dropped || taken == waiting, "output is whole unless some was said to be dropped");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const auto encoding = input.ConsumeBool() ? ToolOutputDecoder::Encoding::Windows1252
                                              : ToolOutputDecoder::Encoding::Local;
    const qsizetype sliceBytes = input.ConsumeIntegralInRange<qsizetype>(1, 64);
    const qsizetype limit = input.ConsumeIntegralInRange<qsizetype>(1, 256);
    std::vector<quint16> positions(input.ConsumeIntegralInRange<int>(0, 16));
    for (quint16 &position : positions)
        position = input.ConsumeIntegral<quint16>();
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QByteArray output(rest.data(), qsizetype(rest.size()));
    const QList<QByteArray> reads = readsOf(output, positions);
    const QString whole = decodedWhole(encoding, reads);
    FUZZ_CHECK(shown(encoding, reads, sliceBytes) == whole,
               "output shows the same text however it is read and sliced");
    FUZZ_CHECK(shown(encoding, reads, 1) == whole,
               "output shows the same text when it is shown byte by byte");
    checkBounded(reads, limit);
    return 0;
}
