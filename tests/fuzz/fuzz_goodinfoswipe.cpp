// Swipes a fuzzed Goodinfo.cfg with fuzzed flag boxes and section. Marking is idempotent: a
// second swipe with the same boxes must leave the file as the first one left it. The file on
// disk must end up as the swipe of its text.
#include "maintenance/goodinfoswipe.h"

#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    RomFlagFilter filter;
    for (bool &checked : filter.checked)
        checked = input.ConsumeBool();
    filter.emptyCustomMatchesAll = true;
    const bool excludeNone = input.ConsumeBool();
    // The keys of a Tessary.ini: a key may be any text that begins with "[".
    const QStringList items{swipeAllText(), "[Gen", "[SNES", "[NES", "[Gen;", "[b;n"};
    const QString selection = items.at(input.ConsumeIntegralInRange<int>(0, items.size() - 1));
    filter.customText = QString::fromStdString(input.ConsumeRandomLengthString(16));
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QByteArray content(rest.data(), qsizetype(rest.size()));

    const GoodinfoSwipe swipe(selection, items, filter, excludeNone);
    const QByteArray once = GoodinfoSwipe(swipe).swipe(content);
    FUZZ_CHECK(excludeNone || GoodinfoSwipe(swipe).swipe(once) == once,
               "swiping twice leaves the file as swiping once");

    static const QString path = scratchFolder() + "Goodinfo.cfg";
    writeFile(path, content);
    FUZZ_CHECK(swipeGoodinfoFile(path, swipe).status == SwipeOutcome::Swiped,
               "a readable file in a writable folder is swiped");
    FUZZ_CHECK(readFile(path) == once, "the file on disk is the swipe of its text");
    return 0;
}
