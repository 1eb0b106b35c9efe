// Prints N numbered lines of ROM-like text (60 characters each, line end included) on standard
// output, as fast as it can: the tool side of the output streaming benchmark.
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const long count = argc > 1 ? std::atol(argv[1]) : 100000;
    for (long line = 0; line < count; ++line)
        std::printf("%07ld Castle of Mirrors (E) [!] renamed from castle-e.gen\n", line);
    return 0;
}
