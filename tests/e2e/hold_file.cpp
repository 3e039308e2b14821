// Holds a file open for writing, as an editor or a paint program does while it works on it, until it is ended.
// Usage: e2e_hold_file PATH   (prints "held" once the file is open)
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
