#include "editor/command_line.h"

#include <cstring>

CommandLineFile ParseCommandLine(const char* commandLine, char (&path)[kCommandLinePathCapacity]) {
    int length = 0;
    for (const char* p = commandLine; *p != '\0' && length < kCommandLinePathCapacity - 1; ++p) {
        if (*p != '"')
            path[length++] = *p;
    }
    path[length] = '\0';
    if (length == 0)
        return CommandLineFile::None;
    if (HasExtension(path, ".bvo"))
        return CommandLineFile::Object;
    if (HasExtension(path, ".bmp"))
        return CommandLineFile::Bitmap;
    return CommandLineFile::None;
}

bool HasExtension(const char* path, const char* ext) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    const char* dot = std::strrchr(name, '.');
    return dot != nullptr && std::strcmp(dot, ext) == 0;
}
