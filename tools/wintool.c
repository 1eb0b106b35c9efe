/* A stand-in Windows console tool for the tests that run a tool through Wine, built with the
 * MinGW cross compiler. The first argument picks what it does:
 *   rename  prints each argument, its working directory and two ROM names in Windows-1252;
 *   scan    prints a line, waits until "continue.txt" appears in its working directory, prints
 *           another line and ends;
 *   list    prints a line and then waits for ever, for Stop to end it;
 *   spawn   starts a copy of itself that lists, prints "child <its process id>" and waits for
 *           ever, like a tool that runs another;
 *   else    prints "unknown command", and a line in Windows-1252 to standard error, and fails. */
#include <direct.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

static void say(const char *line)
{
    fputs(line, stdout);
    fputs("\n", stdout); /* text mode: CR LF */
    fflush(stdout);
}

int main(int argc, char **argv)
{
    const char *mode = argc > 1 ? argv[1] : "";
    if (strcmp(mode, "rename") == 0) {
        char cwd[MAX_PATH];
        for (int i = 1; i < argc; ++i)
            printf("%d:[%s]\n", i, argv[i]);
        printf("cwd:[%s]\n", _getcwd(cwd, sizeof cwd) ? cwd : "?");
        say("Pok\xe9mon Blue (E) [!]");    /* e acute */
        say("Caf\xe9 \x80 \x96 \xbd (J)"); /* e acute, euro, en dash, one half */
        return 0;
    }
    if (strcmp(mode, "scan") == 0) {
        say("scan started");
        while (GetFileAttributesA("continue.txt") == INVALID_FILE_ATTRIBUTES)
            Sleep(20);
        say("scan finished");
        return 0;
    }
    if (strcmp(mode, "list") == 0) {
        say("list waiting");
        Sleep(INFINITE);
        return 0;
    }
    if (strcmp(mode, "spawn") == 0) {
        char line[MAX_PATH + 16] = "\"";
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION child;
        GetModuleFileNameA(NULL, line + 1, MAX_PATH);
        strcat(line, "\" list");
        if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &child))
            return 1;
        printf("child %lu\n", (unsigned long)child.dwProcessId);
        fflush(stdout);
        Sleep(INFINITE);
        return 0;
    }
    say("unknown command");
    fprintf(stderr, "Caf\xe9 does not know %s\n", mode); /* e acute */
    return 2;
}
