// The program's files in the browser. Files the user picks or drops are put in the page's memory, where the
// readers find them by name; a file the program saves is put there too, and handed to the user once it is whole.
// Plain C++: the unit tests drive it natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/file_system.h"

// How a finished file reached the user.
// The numbers files.js's deliver answers with (its DELIVERY), in the same order.
enum class Delivery {
    Failed,         // nothing reached the user: the save failed
    Written,        // written into the user's own file, and the browser said so
    Offered,        // offered as a download, which nothing confirms; a scene's copy stays in the page's storage
    OfferedUnkept,  // offered as a download, and no copy of the scene could be kept
};

// Where a finished file goes: into a file the browser lets the page write, or a download under its name.
class FileDelivery {
public:
    virtual ~FileDelivery() = default;
    virtual Delivery Deliver(const char* path, const std::vector<uint8_t>& bytes) = 0;
};

// Files in memory (the page's file system) with the Windows program's line ends, so that a file saved here is the
// one the exe would write. A save is delivered at its last step, when it takes the place of the old file: a save
// that fails before that delivers nothing, and one that cannot be delivered counts as failed.
class PageFileSystem final : public StdFileSystem {
public:
    explicit PageFileSystem(FileDelivery& delivery) : delivery_(delivery) {}
    bool Replace(const char* from, const char* to) override;
    const char* LineEnd() const override { return "\r\n"; }
    // The path of the last file offered as a download with no copy kept, once; false when there is none.
    bool TakeUnkeptOffer(std::string& path);

private:
    FileDelivery& delivery_;
    std::string unkept_;
};
