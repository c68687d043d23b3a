// Holds a file open for a while, the way a running program holds its own
// executable: others may read it but not delete it.
//   file_holder <path> <milliseconds>
// Prints "held" once the file is open; exits 1 when it cannot be opened.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: file_holder <path> <milliseconds>\n", stderr);
        return 2;
    }
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    CloseHandle(file);
    return 0;
}
