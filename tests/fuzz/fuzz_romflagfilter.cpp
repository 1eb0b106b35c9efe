// Tests fuzzed ROM names and Goodinfo.cfg lines against fuzzed flag boxes. The first match is
// the first checked row whose pattern occurs, so it must agree with each row tested alone, and
// more text around a subject can only bring an earlier match.
#include "maintenance/romflagfilter.h"

#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

RomFlagFilter withRows(const RomFlagFilter &filter, int from, int to)
{
    RomFlagFilter some = filter;
    for (int row = 0; row < RomFlagCount; ++row)
        some.checked[row] = filter.checked[row] && row >= from && row < to;
    return some;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    RomFlagFilter filter;
    for (bool &checked : filter.checked)
        checked = input.ConsumeBool();
    filter.emptyCustomMatchesAll = input.ConsumeBool();
    filter.customText = QString::fromStdString(input.ConsumeRandomLengthString(16));
    const QString around = QString::fromStdString(input.ConsumeRandomLengthString(8));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QString subject = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    const int match = filter.firstMatch(subject);
    FUZZ_CHECK(match >= RomFlagFilter::NoMatch && match <= RomFlagCount, "a match is a row");
    if (match == RomFlagFilter::NoMatch) {
        for (int row = 0; row < RomFlagCount; ++row)
            FUZZ_CHECK(!withRows(filter, row, row + 1).matches(subject),
                       "no row alone matches where all together found none");
    } else {
        FUZZ_CHECK(filter.checked[match - 1], "only a checked row matches");
        FUZZ_CHECK(withRows(filter, match - 1, match).firstMatch(subject) == match,
                   "the matching row alone matches");
        FUZZ_CHECK(!withRows(filter, 0, match - 1).matches(subject), "no earlier row matches");
        const int wider = filter.firstMatch(around + subject + around);
        FUZZ_CHECK(wider != RomFlagFilter::NoMatch && wider <= match,
                   "more text around a subject keeps its match or finds an earlier one");
    }
    return 0;
}
