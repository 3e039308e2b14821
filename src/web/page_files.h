// The program's files in the browser. Files the user picks or drops are put in the page's memory, where the
// readers find them by name; a file the program saves is put there too, and handed to the user once it is whole.
// Plain C++: the unit tests drive it natively.
#pragma once

#include <cstdint>
#include <vector>

#include "files/file_system.h"

// Where a finished file goes: the page offers it as a download under its name.
class FileDelivery {
public:
    virtual ~FileDelivery() = default;
    // False when the file could not be handed over.
    virtual bool Deliver(const char* fileName, const std::vector<uint8_t>& bytes) = 0;
};

// Files in memory (the page's file system) with the Windows program's line ends, so that a file saved here is the
// one the exe would write. A save is delivered at its last step, when it takes the place of the old file: a save
// that fails before that delivers nothing, and one that cannot be delivered counts as failed.
class PageFileSystem final : public StdFileSystem {
public:
    explicit PageFileSystem(FileDelivery& delivery) : delivery_(delivery) {}
    bool Replace(const char* from, const char* to) override;
    const char* LineEnd() const override { return "\r\n"; }

private:
    FileDelivery& delivery_;
};
