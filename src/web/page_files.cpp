#include "web/page_files.h"

#include <cstring>

bool PageFileSystem::ReadAll(const char* path, std::vector<uint8_t>& out) {
    if (!held_.empty() && held_ == path) {
        held_.clear();
        // The plain step: putting the held file in place hands nothing to the user.
        if (!StdFileSystem::Replace(heldAt_.c_str(), path))
            return false;
    }
    return StdFileSystem::ReadAll(path, out);
}

FileSystem::Handle PageFileSystem::CreateNew(const char* path) {
    failure_ = Delivery::Written;
    return StdFileSystem::CreateNew(path);
}

bool PageFileSystem::Replace(const char* from, const char* to) {
    if (!StdFileSystem::Replace(from, to))
        return false;
    std::vector<uint8_t> bytes;
    if (!StdFileSystem::ReadAll(to, bytes))
        return false;
    const Delivery delivery = delivery_.Deliver(to, bytes, copiesRequired_);
    switch (delivery) {
        case Delivery::Written:
        case Delivery::Offered:
            return true;
        case Delivery::OfferedUnkept:
            unkept_ = to;
            return true;
        case Delivery::Failed:
        case Delivery::CopyRefused:
        case Delivery::Cancelled:
            break;
    }
    failure_ = delivery;
    return false;
}

void PageFileSystem::HoldForOpening(const char* path, const char* heldAt) {
    held_ = path;
    heldAt_ = heldAt;
}

void PageFileSystem::ReleaseHeld() {
    if (!held_.empty())
        StdFileSystem::Remove(heldAt_.c_str());
    held_.clear();
}

Delivery PageFileSystem::TakeFailure() {
    const Delivery failure = failure_;
    failure_ = Delivery::Written;
    return failure;
}

bool PageFileSystem::TakeUnkeptOffer(std::string& path) {
    if (unkept_.empty())
        return false;
    path.swap(unkept_);
    unkept_.clear();
    return true;
}

void PageSaveReports::ShowError(const char* utf8Text) {
    if (std::strcmp(utf8Text, TextOf(TextId::SaveFailed)) != 0) {
        page_.ShowError(utf8Text);
        return;
    }
    const Delivery failure = files_.TakeFailure();
    if (failure == Delivery::Cancelled)
        return;
    page_.ShowError(utf8Text);
    if (failure == Delivery::CopyRefused)
        page_.ShowError(TextOf(TextId::CopyRefused));  // beside the failed save's message
}
