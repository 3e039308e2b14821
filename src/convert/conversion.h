// blokkenveld-convert: a scene read as the program's Open reads it and written as its Save As writes it, by the
// extensions of the two paths. The platform supplies the files, the PNG encoder and the converter's folder.
#pragma once

#include <cstdio>

#include "files/file_system.h"
#include "files/png_encoder.h"

enum ConvertStatus : int {
    kConvertDone = 0,
    kConvertRefused = 1,  // the input could not be read or was refused, or the output could not be saved
    kConvertUsage = 2,
};

// Runs the command line (argv[0] is the program) and reports on out (help) and errors (everything else).
// converterDirectory ends in a separator; a texture named by a scene file is looked for beside the scene file,
// then there.
ConvertStatus RunConverter(int argc,
                           const char* const* argv,
                           FileSystem& files,
                           PngEncoder& png,
                           const char* converterDirectory,
                           std::FILE* out,
                           std::FILE* errors);
