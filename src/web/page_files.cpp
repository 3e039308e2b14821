#include "web/page_files.h"

bool PageFileSystem::Replace(const char* from, const char* to) {
    if (!StdFileSystem::Replace(from, to))
        return false;
    std::vector<uint8_t> bytes;
    if (!ReadAll(to, bytes))
        return false;
    const Delivery delivery = delivery_.Deliver(to, bytes);
    if (delivery == Delivery::OfferedUnkept)
        unkept_ = to;
    return delivery != Delivery::Failed;
}

bool PageFileSystem::TakeUnkeptOffer(std::string& path) {
    if (unkept_.empty())
        return false;
    path.swap(unkept_);
    unkept_.clear();
    return true;
}
