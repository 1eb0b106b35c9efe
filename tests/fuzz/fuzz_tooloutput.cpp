// Decodes a tool's standard output in pieces as the pipe delivers them. However the bytes are
// split, the text must come out the same; a zero byte cuts its own piece by design, so that
// property is checked on the output without its zero bytes.
#include "runner/tooloutputdecoder.h"

#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <vector>

namespace {

QString decodeInPieces(ToolOutputDecoder::Encoding encoding, const QByteArray &output,
                       const std::vector<qsizetype> &cuts)
{
    ToolOutputDecoder decoder(encoding);
    QString text;
    qsizetype from = 0;
    for (const qsizetype cut : cuts) {
        text += decoder.decode(output.mid(from, cut - from));
        from = cut;
    }
    text += decoder.decode(output.mid(from));
    return text + decoder.flush();
}

std::vector<qsizetype> cutsFor(const std::vector<quint16> &positions, qsizetype size)
{
    std::vector<qsizetype> cuts;
    for (const quint16 position : positions)
        cuts.push_back(position % (size + 1));
    std::sort(cuts.begin(), cuts.end());
    return cuts;
}

std::vector<qsizetype> everyByte(qsizetype size)
{
    std::vector<qsizetype> cuts;
    for (qsizetype i = 1; i < size; ++i)
        cuts.push_back(i);
    return cuts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const auto encoding = input.ConsumeBool() ? ToolOutputDecoder::Encoding::Windows1252
                                              : ToolOutputDecoder::Encoding::Local;
    std::vector<quint16> positions(input.ConsumeIntegralInRange<int>(0, 16));
    for (quint16 &position : positions)
        position = input.ConsumeIntegral<quint16>();
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QByteArray output(rest.data(), qsizetype(rest.size()));

    decodeInPieces(encoding, output, cutsFor(positions, output.size()));

    QByteArray withoutZeros = output;
    withoutZeros.replace('\0', QByteArray());
    const QString whole = decodeInPieces(encoding, withoutZeros, {});
    FUZZ_CHECK(decodeInPieces(encoding, withoutZeros, cutsFor(positions, withoutZeros.size())) ==
                   whole,
               "output decodes to the same text however it is split");
    FUZZ_CHECK(decodeInPieces(encoding, withoutZeros, everyByte(withoutZeros.size())) == whole,
               "output decodes to the same text when it arrives byte by byte");
    return 0;
}
