// The converter's entry point: the system's files, PNG encoder and the converter's own folder.
#include "convert/conversion.h"

#ifdef _WIN32
#include <windows.h>

#include "win/file_system_win.h"
#include "win/png_wic.h"
#else
#include <unistd.h>

#include "convert/png_libpng.h"
#endif

#include <string>

namespace {

// The folder the converter's executable lies in, with its separator; empty when the system does not say.
std::string ConverterDirectory() {
    char path[4096] = {};
#ifdef _WIN32
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    const bool known = length > 0 && length < sizeof(path);
#else
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    const bool known = length > 0;
#endif
    if (!known)
        return std::string();
    const std::string full = path;
    const size_t separator = full.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : full.substr(0, separator + 1);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    Win32FileSystem files;
    WicPngEncoder png;
#else
    StdFileSystem files;
    LibpngEncoder png;
#endif
    const std::string directory = ConverterDirectory();
    return RunConverter(argc, argv, files, png, directory.c_str(), stdout, stderr);
}
