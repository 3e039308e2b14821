// The file named on the command line: the whole line is one path, quotes removed.
#pragma once

class FileSystem;

enum class CommandLineFile { None, Object, Bitmap, Voxels };

constexpr int kCommandLinePathCapacity = 260;

// Copies the line into path without its double quotes, cut at 259 characters, and tells which
// kind of file it names by its case-sensitive extension.
CommandLineFile ParseCommandLine(const FileSystem& files,
                                 const char* commandLine,
                                 char (&path)[kCommandLinePathCapacity]);
