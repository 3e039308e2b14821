#include "web/page_files.h"

bool PageFileSystem::Replace(const char* from, const char* to) {
    if (!StdFileSystem::Replace(from, to))
        return false;
    std::vector<uint8_t> bytes;
    return ReadAll(to, bytes) && delivery_.Deliver(FileNamePart(to), bytes);
}
