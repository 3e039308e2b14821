#include "editor/document/command_line.h"

#include "files/file_system.h"

CommandLineFile ParseCommandLine(const FileSystem& files,
                                 const char* commandLine,
                                 char (&path)[kCommandLinePathCapacity]) {
    int length = 0;
    for (const char* p = commandLine; *p != '\0' && length < kCommandLinePathCapacity - 1; ++p) {
        if (*p != '"')
            path[length++] = *p;
    }
    path[length] = '\0';
    if (length == 0)
        return CommandLineFile::None;
    if (HasExtension(files, path, ".bvo"))
        return CommandLineFile::Object;
    if (HasExtension(files, path, ".bmp"))
        return CommandLineFile::Bitmap;
    if (HasExtension(files, path, ".vox"))
        return CommandLineFile::Voxels;
    return CommandLineFile::None;
}
