// Files through the system's own calls (file_system_win.h).
#include "win/file_system_win.h"

#include <windows.h>

#include <shlwapi.h>

#include <utility>

namespace {

constexpr DWORD kReadChunk = 1 << 20;

}  // namespace

bool Win32FileSystem::ReadAll(const char* path, std::vector<uint8_t>& out) {
    // Another program may hold the file open for writing (an editor, a paint program): read it anyway, as the
    // C library's files do.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint8_t> bytes;
    bool ok = true;
    for (;;) {
        const size_t used = bytes.size();
        bytes.resize(used + kReadChunk);
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + used, kReadChunk, &got, nullptr)) {
            ok = false;
            break;
        }
        bytes.resize(used + got);
        if (bytes.size() > kMaxReadFileBytes) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
    }
    CloseHandle(file);
    if (ok)
        out = std::move(bytes);
    return ok;
}

FileSystem::Handle Win32FileSystem::CreateNew(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool Win32FileSystem::Write(Handle file, const uint8_t* data, size_t size) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool Win32FileSystem::Close(Handle file) {
    const bool flushed = FlushFileBuffers(file) != 0;
    return CloseHandle(file) != 0 && flushed;
}

bool Win32FileSystem::Replace(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void Win32FileSystem::Remove(const char* path) {
    DeleteFileA(path);
}

bool Win32FileSystem::FileExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

const char* Win32FileSystem::FileNamePart(const char* path) const {
    // Steps character by character in the ANSI code page, so that a second byte 0x5C is never a separator.
    return PathFindFileNameA(path);
}
