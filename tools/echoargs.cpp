// Prints the arguments it was given, one a line as "<index>:[<argument>]", then its working
// directory as "cwd:[<path>]". Tests start it in place of a tool to see the exact argument list
// and directory a command line turns into.

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        std::printf("%d:[%s]\n", i, argv[i]);
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    std::printf("cwd:[%s]\n", error ? "" : cwd.generic_string().c_str());
    std::fflush(stdout);
    return 0;
}
