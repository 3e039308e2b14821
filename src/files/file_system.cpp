#if defined(_MSC_VER) && !defined(_CRT_SECURE_NO_WARNINGS)
#define _CRT_SECURE_NO_WARNINGS  // std::fopen is the portable choice; the _s variants are not
#endif

#include "files/file_system.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kTemporaryNameAttempts = 100;
constexpr size_t kWriteChunk = size_t{1} << 20;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

bool SaveFile(FileSystem& files, const char* path, const uint8_t* data, size_t size) {
    // "~1" to "~99" beside the target: the same folder keeps the final step a rename on one disk.
    const int folderLength = static_cast<int>(files.FileNamePart(path) - path);
    char temporary[kPathCapacity + 16];
    FileSystem::Handle file = nullptr;
    for (int attempt = 1; attempt < kTemporaryNameAttempts && file == nullptr; ++attempt) {
        std::snprintf(temporary, sizeof(temporary), "%.*s~%d", folderLength, path, attempt);
        file = files.CreateNew(temporary);
    }
    if (file == nullptr)
        return false;
    bool written = true;
    for (size_t done = 0; written && done < size;) {
        const size_t chunk = size - done < kWriteChunk ? size - done : kWriteChunk;
        written = files.Write(file, data + done, chunk);
        done += chunk;
    }
    const bool closed = files.Close(file);
    if (written && closed && files.Replace(temporary, path))
        return true;
    files.Remove(temporary);
    return false;
}

bool SaveText(FileSystem& files, const char* path, const std::string& text) {
    const char* lineEnd = files.LineEnd();
    if (std::strcmp(lineEnd, "\n") == 0)
        return SaveFile(files, path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    std::string converted;
    converted.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            converted += lineEnd;
        else
            converted += c;
    }
    return SaveFile(files, path, reinterpret_cast<const uint8_t*>(converted.data()), converted.size());
}

bool HasExtension(const FileSystem& files, const char* path, const char* ext, LetterCase letterCase) {
    const char* dot = std::strrchr(files.FileNamePart(path), '.');
    if (dot == nullptr)
        return false;
    if (letterCase == LetterCase::Exact)
        return std::strcmp(dot, ext) == 0;
    // ASCII letters only, whatever the C library's locale. A double-byte character's second byte may look like a
    // letter, but the byte before it never does, so a name that matches holds no such character.
    for (;; ++dot, ++ext) {
        if (AsciiLower(*dot) != AsciiLower(*ext))
            return false;
        if (*dot == '\0')
            return true;
    }
}

bool IsInDirectory(const FileSystem& files, const char* path, const char* directory) {
    const size_t length = static_cast<size_t>(files.FileNamePart(path) - path);
    return length == std::strlen(directory) && std::memcmp(path, directory, length) == 0;
}

void CopyPath(char (&to)[kPathCapacity], const char* from) {
    std::snprintf(to, sizeof(to), "%s", from);
}

bool IsNetworkPath(const char* path) {
    return IsSeparator(path[0]) && IsSeparator(path[1]);
}

bool NamesDevice(const char* path) {
    // "\\.\" opens the device namespace itself.
    if (IsNetworkPath(path) && path[2] == '.' && IsSeparator(path[3]))
        return true;
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (IsSeparator(*p))
            name = p + 1;
    }
    if (IsDriveLetter(name[0]) && name[1] == ':')
        name += 2;
    // The system ignores an extension, a colon and trailing blanks after a device's name.
    size_t length = std::strcspn(name, ".:");
    while (length > 0 && name[length - 1] == ' ')
        --length;
    char stem[8] = {};
    if (length == 0 || length >= sizeof(stem))
        return false;
    for (size_t i = 0; i < length; ++i)
        stem[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (std::strcmp(stem, device) == 0)
            return true;
    }
    return length == 4 && (std::strncmp(stem, "COM", 3) == 0 || std::strncmp(stem, "LPT", 3) == 0) && stem[3] >= '0' &&
           stem[3] <= '9';
}

bool IsAbsolutePath(const char* path) {
    return IsSeparator(path[0]) || (IsDriveLetter(path[0]) && path[1] == ':');
}

bool ResolvePath(const char* path, const char* directory, char (&out)[kPathCapacity]) {
    const int length = IsAbsolutePath(path) ? std::snprintf(out, sizeof(out), "%s", path)
                                            : std::snprintf(out, sizeof(out), "%s%s", directory, path);
    return length >= 0 && length < kPathCapacity;
}

bool StdFileSystem::ReadAll(const char* path, std::vector<uint8_t>& out) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    // Reading in chunks until end of file avoids ftell, whose long overflows on large files under Windows.
    std::vector<uint8_t> bytes;
    constexpr size_t kChunk = 65536;
    bool ok = true;
    for (;;) {
        const size_t used = bytes.size();
        bytes.resize(used + kChunk);
        const size_t got = std::fread(bytes.data() + used, 1, kChunk, file);
        bytes.resize(used + got);
        if (bytes.size() > kMaxReadFileBytes) {
            ok = false;
            break;
        }
        if (got < kChunk) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    if (ok)
        out = std::move(bytes);
    return ok;
}

FileSystem::Handle StdFileSystem::CreateNew(const char* path) {
    return std::fopen(path, "wbx");
}

bool StdFileSystem::Write(Handle file, const uint8_t* data, size_t size) {
    return std::fwrite(data, 1, size, static_cast<std::FILE*>(file)) == size;
}

bool StdFileSystem::Close(Handle file) {
    return std::fclose(static_cast<std::FILE*>(file)) == 0;
}

bool StdFileSystem::Replace(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

void StdFileSystem::Remove(const char* path) {
    std::remove(path);
}

bool StdFileSystem::FileExists(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && (status.st_mode & S_IFMT) == S_IFREG;
}

const char* StdFileSystem::FileNamePart(const char* path) const {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (IsSeparator(*p) || *p == ':')
            name = p + 1;
    }
    return name;
}
