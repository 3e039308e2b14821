// Files through the system's own calls, for the Windows program and the Windows converter: paths in the ANSI code
// page, a save made whole on the disk before it takes the old file's place, and file names split where the code
// page says a character ends.
#pragma once

#include "files/file_system.h"

class Win32FileSystem final : public FileSystem {
public:
    bool ReadAll(const char* path, std::vector<uint8_t>& out) override;
    Handle CreateNew(const char* path) override;
    bool Write(Handle file, const uint8_t* data, size_t size) override;
    bool Close(Handle file) override;
    bool Replace(const char* from, const char* to) override;
    void Remove(const char* path) override;
    bool FileExists(const char* path) override;
    const char* FileNamePart(const char* path) const override;
    const char* LineEnd() const override { return "\r\n"; }
};
