// Reads the first lines of a fuzzed Have list and Miss list into a summary row. Only the first
// line of a list may count, and a row always has its eight cells, Excluded being a number.
#include "lists/collectionsummary.h"
#include "lists/listheader.h"

#include "fuzzcheck.h"

namespace {

// The same first line with other lines after it.
QByteArray withOtherLines(const QByteArray &list)
{
    const qsizetype end = list.indexOf('\n');
    return (end < 0 ? list + '\n' : list.left(end + 1)) + "1 2 3 4 5 6 7 (v 9)\n\n";
}

void checkFirstLineAlone(const QString &path, const QByteArray &list)
{
    writeFile(path, list);
    const std::optional<ListHeader> header = ListHeader::read(path);
    writeFile(path, withOtherLines(list));
    const std::optional<ListHeader> again = ListHeader::read(path);
    FUZZ_CHECK(header && again, "a list that exists can be read");
    FUZZ_CHECK(!header->versionText().contains(u'\n'), "a header holds no line end");
    for (int word = 0; word < 8; ++word)
        FUZZ_CHECK(header->word(word) == again->word(word), "only the first line counts");
    FUZZ_CHECK(header->versionText() == again->versionText(), "only the first line counts");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [have, miss] = twoTexts(data, size);

    static const QString folder = scratchFolder("lists");
    const QString haveList = folder + "GenHave.txt", missList = folder + "GenMiss.txt";
    checkFirstLineAlone(haveList, have);
    checkFirstLineAlone(missList, miss);
    writeFile(haveList, have);
    writeFile(missList, miss);

    const SummaryRow row =
        summaryRow("[Gen Genesis", {{"[Gen", {"[Gen", "Genesis", folder, "GoodGen.exe"}}});
    FUZZ_CHECK(row.cells.size() == 8, "a summary row has eight cells");
    FUZZ_CHECK(row.cells.first() == "[Gen" && row.cells.last() == folder,
               "a summary row names its system and folder");
    bool isNumber = false;
    row.cells.at(4).toLongLong(&isNumber);
    FUZZ_CHECK(isNumber, "Excluded is a number when the Have list can be read");
    return 0;
}
