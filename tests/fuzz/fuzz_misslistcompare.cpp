// Compares two fuzzed Miss lists. Comparing a list with itself, or with a copy of itself, must
// write two empty files, and swapping the lists must swap the two outputs.
#include "lists/misslistcomparison.h"

#include "fuzzcheck.h"

namespace {

void compare(const QString &yours, const QString &theirs)
{
    MissListComparison comparison(yours, theirs);
    FUZZ_CHECK(comparison.run() == MissListComparison::Outcome::Complete,
               "two readable lists are read whole and compared");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [mine, other] = twoTexts(data, size);

    static const QString a = scratchFolder("a"), b = scratchFolder("b");
    writeFile(a + "GenMiss.txt", mine);
    writeFile(b + "GenMiss.txt", other);
    compare(a + "GenMiss.txt", b + "GenMiss.txt");
    compare(b + "GenMiss.txt", a + "GenMiss.txt");
    FUZZ_CHECK(readFile(a + "I_Need.txt") == readFile(b + "They_Need.txt") &&
                   readFile(a + "They_Need.txt") == readFile(b + "I_Need.txt"),
               "swapping the lists swaps the outputs");

    writeFile(b + "Copy.txt", mine);
    for (const QString &same : {a + "GenMiss.txt", b + "Copy.txt"}) {
        compare(a + "GenMiss.txt", same);
        FUZZ_CHECK(readFile(a + "I_Need.txt").isEmpty() && readFile(a + "They_Need.txt").isEmpty(),
                   "a list compared with itself leaves both outputs empty");
    }
    return 0;
}
