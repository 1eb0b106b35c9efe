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

    static const QString a = scratchFolder(QStringLiteral("a")),
                         b = scratchFolder(QStringLiteral("b"));
    writeFile(a + QStringLiteral("GenMiss.txt"), mine);
    writeFile(b + QStringLiteral("GenMiss.txt"), other);
    compare(a + QStringLiteral("GenMiss.txt"), b + QStringLiteral("GenMiss.txt"));
    compare(b + QStringLiteral("GenMiss.txt"), a + QStringLiteral("GenMiss.txt"));
    FUZZ_CHECK(readFile(a + QStringLiteral("I_Need.txt")) ==
                       readFile(b + QStringLiteral("They_Need.txt")) &&
                   readFile(a + QStringLiteral("They_Need.txt")) ==
                       readFile(b + QStringLiteral("I_Need.txt")),
               "swapping the lists swaps the outputs");

    writeFile(b + QStringLiteral("Copy.txt"), mine);
    for (const QString &same :
         {a + QStringLiteral("GenMiss.txt"), b + QStringLiteral("Copy.txt")}) {
        compare(a + QStringLiteral("GenMiss.txt"), same);
        FUZZ_CHECK(readFile(a + QStringLiteral("I_Need.txt")).isEmpty() &&
                       readFile(a + QStringLiteral("They_Need.txt")).isEmpty(),
                   "a list compared with itself leaves both outputs empty");
    }
    return 0;
}
