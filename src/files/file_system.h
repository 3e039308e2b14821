// Files as the program reads and writes them: read whole, and saved so that a failed save never damages
// the file it was to replace nor leaves a partial one behind. The shell implements the steps with the
// system's own calls; tests count and break them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kPathCapacity = 260;  // paths are narrow strings of at most 259 characters
// Largest file a reader loads; the program's own files are far smaller.
constexpr size_t kMaxReadFileBytes = size_t{64} << 20;

class FileSystem {
public:
    using Handle = void*;

    virtual ~FileSystem() = default;
    // The whole file; false when it cannot be opened or read, or is larger than kMaxReadFileBytes.
    virtual bool ReadAll(const char* path, std::vector<uint8_t>& out) = 0;
    // A new file that must not exist yet; null when it cannot be made.
    virtual Handle CreateNew(const char* path) = 0;
    virtual bool Write(Handle file, const uint8_t* data, size_t size) = 0;
    // Flushes and closes; false when anything written did not reach the disk.
    virtual bool Close(Handle file) = 0;
    // Puts from in the place of to in one step, replacing to if it exists.
    virtual bool Replace(const char* from, const char* to) = 0;
    virtual void Remove(const char* path) = 0;
    // True when a file (not a folder) is there under path.
    virtual bool FileExists(const char* path) = 0;
    // Where the file name of a path begins, split the way the system splits its own paths.
    virtual const char* FileNamePart(const char* path) const = 0;
    // How a line ends in the program's text files on this system.
    virtual const char* LineEnd() const = 0;
};

// Writes data under a temporary name in path's folder, then puts it in path's place. The temporary name is
// at most three characters long, so that a target whose path is as long as a path can be is still saved. On any failure
// the temporary file is removed, path is left as it was, and the result is false.
bool SaveFile(FileSystem& files, const char* path, const uint8_t* data, size_t size);
// Text whose lines end in '\n', saved with the system's line ends.
bool SaveText(FileSystem& files, const char* path, const std::string& text);

// How the letters of an extension are compared: exactly, as the program tells every file kind apart, or with A to Z
// taken as a to z, as the converter reads the names Windows users type ("HOUSE.BVO").
enum class LetterCase { Exact, Ignored };
// True when the extension of the file-name part (from its last dot) is ext, its letters compared as letterCase says.
bool HasExtension(const FileSystem& files,
                  const char* path,
                  const char* ext,
                  LetterCase letterCase = LetterCase::Exact);
// The directory part of path, up to and including its last separator, compared byte for byte with directory.
bool IsInDirectory(const FileSystem& files, const char* path, const char* directory);
// Copies a path, cut to 259 characters.
void CopyPath(char (&to)[kPathCapacity], const char* from);
// A path that names another machine or a device by the system's own prefix ("\\server\share", "//server",
// "\\.\device"). Such a name read from a scene file is kept, but never opened.
bool IsNetworkPath(const char* path);
// A file name the system keeps for a device in every folder ("CON", "PRN", "AUX", "NUL", "COM1" to "COM9",
// "LPT1" to "LPT9", ...), in any letter case, with or without an extension or a folder in front, and any
// path in the device namespace ("\\.\"). Opening one can wait on the device for ever, so such a name is never
// opened as a file.
bool NamesDevice(const char* path);
// A path that says where it starts: a drive, a root separator or another machine.
bool IsAbsolutePath(const char* path);
// path itself when it is absolute, else path in directory (which ends in a separator). False when the
// result would not fit a path.
bool ResolvePath(const char* path, const char* directory, char (&out)[kPathCapacity]);

// Standard C files, with '\n' line ends and '/' or '\' as separators: natively, for tests and tools.
class StdFileSystem : public FileSystem {
public:
    bool ReadAll(const char* path, std::vector<uint8_t>& out) override;
    Handle CreateNew(const char* path) override;
    bool Write(Handle file, const uint8_t* data, size_t size) override;
    bool Close(Handle file) override;
    bool Replace(const char* from, const char* to) override;
    void Remove(const char* path) override;
    bool FileExists(const char* path) override;
    const char* FileNamePart(const char* path) const override;
    const char* LineEnd() const override { return "\n"; }
};
