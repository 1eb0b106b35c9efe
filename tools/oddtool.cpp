// Stands in for a tool that does what a shell script cannot show.
//
//   oddtool reads <piece>...  writes each piece at once, each only after the last has been read
//                             from the pipe, so that each arrives in a read of its own; "@" in a
//                             piece stands for a zero byte.
//   oddtool held              prints "tool <pid> held by <pid>" and waits. When it is killed, a
//                             helper process holds it in its exit, the way the kernel holds a
//                             process whose drive no longer answers, for 20 seconds or until the
//                             helper (the second pid) is killed. Prints "not held" where the
//                             system does not allow this. The helper, which stands for the
//                             kernel, is no part of the tool's process group.
//   oddtool deathsig          prints "death signal <n>": the signal it gets when its parent dies.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>
#ifdef __linux__
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#endif

namespace {

void waitUntilRead()
{
#ifdef __linux__
    int waiting = 0;
    while (ioctl(STDOUT_FILENO, FIONREAD, &waiting) == 0 && waiting > 0)
        usleep(1000);
#endif
}

int writeReads(int count, char **pieces)
{
    for (int i = 0; i < count; ++i) {
        std::string piece = pieces[i];
        std::replace(piece.begin(), piece.end(), '@', '\0');
        if (write(STDOUT_FILENO, piece.data(), piece.size()) != ssize_t(piece.size()))
            return 1;
        waitUntilRead();
    }
    return 0;
}

int waitHeld()
{
    char held = 'n';
    pid_t helper = -1;
#ifdef __linux__
    const pid_t tool = getpid();
    prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY); // where only ancestors may trace otherwise
    int answer[2];
    if (pipe(answer) != 0)
        return 1;
    helper = fork();
    if (helper == 0) {
        setpgid(0, 0);
        // A tracee that is to stop at its exit stops there even when killed, until let go.
        const auto options = reinterpret_cast<void *>(long(PTRACE_O_TRACEEXIT));
        held = ptrace(PTRACE_SEIZE, tool, nullptr, options) == 0 ? 'y' : 'n';
        if (write(answer[1], &held, 1) == 1 && held == 'y')
            sleep(20);
        _exit(0);
    }
    if (helper < 0 || read(answer[0], &held, 1) != 1)
        held = 'n';
#endif
    if (held != 'y') {
        std::printf("not held\n");
        return 0;
    }
    std::printf("tool %d held by %d\n", int(getpid()), int(helper));
    std::fflush(stdout);
#ifdef __linux__
    for (;;)
        pause();
#else
    return 0; // not reached: only Linux holds a tool
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "reads") == 0)
        return writeReads(argc - 2, argv + 2);
    if (argc == 2 && std::strcmp(argv[1], "held") == 0)
        return waitHeld();
    if (argc == 2 && std::strcmp(argv[1], "deathsig") == 0) {
        int signal = 0;
#ifdef __linux__
        prctl(PR_GET_PDEATHSIG, &signal);
#endif
        std::printf("death signal %d\n", signal);
        return 0;
    }
    std::fprintf(stderr, "usage: oddtool reads <piece>... | oddtool held | oddtool deathsig\n");
    return 2;
}
