// The program's files in the browser. Files the user picks or drops are put in the page's memory, where the
// readers find them by name; a file the program saves is put there too, and handed to the user once it is whole.
// Plain C++: the unit tests drive it natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/document/document_commands.h"
#include "files/file_system.h"

// How a finished file reached the user. The page's scripts name each (page.cpp holds the names).
enum class Delivery {
    Failed,         // nothing reached the user: the file refused it
    Written,        // written into the user's own file, and the browser said so
    Offered,        // offered as a download, which nothing confirms; a scene's copy stays in the page's storage
    OfferedUnkept,  // offered as a download, and no copy of the scene could be kept
    CopyRefused,    // nothing handed over: the save needed a copy of its scene kept, and storage refused it
    Cancelled,      // nothing handed over: the user closed the picker that asked where it goes
};

// Where a finished file goes: into a file the browser lets the page write, or a download under its name. With
// copyRequired a scene is offered as a download only once its copy is kept.
class FileDelivery {
public:
    virtual ~FileDelivery() = default;
    virtual Delivery Deliver(const char* path, const std::vector<uint8_t>& bytes, bool copyRequired) = 0;
};

// Files in memory (the page's file system) with the Windows program's line ends, so that a file saved here is the
// one the exe would write. A save is delivered at its last step, when it takes the place of the old file: a save
// that fails before that delivers nothing, and one that cannot be delivered counts as failed.
class PageFileSystem final : public StdFileSystem {
public:
    explicit PageFileSystem(FileDelivery& delivery) : delivery_(delivery) {}
    // A file held for opening is put in its place first.
    bool ReadAll(const char* path, std::vector<uint8_t>& out) override;
    // Every save starts here: what went wrong with an earlier one is forgotten.
    Handle CreateNew(const char* path) override;
    bool Replace(const char* from, const char* to) override;
    const char* LineEnd() const override { return "\r\n"; }

    // A dropped file waits at heldAt, apart from the user's folder, until it is read under path: a save made before
    // that (the save question's, which may choose the same name) can neither replace it nor be read in its place.
    // No file at heldAt (a drop that could not be read) reads as a failure and leaves path alone.
    void HoldForOpening(const char* path, const char* heldAt);
    // The command is over: a held file that was not opened goes.
    void ReleaseHeld();

    // While set, a scene offered as a download counts as saved only when its copy is kept (the save question before
    // a command that throws the scene away: nothing else would be left of it).
    void RequireCopies(bool required) { copiesRequired_ = required; }
    // How the last delivery went wrong (Failed, CopyRefused or Cancelled), once; Written when nothing did since.
    Delivery TakeFailure();
    // The path of the last file offered as a download with no copy kept, once; false when there is none.
    bool TakeUnkeptOffer(std::string& path);

private:
    FileDelivery& delivery_;
    std::string unkept_;
    std::string held_;    // the path a held file is opened under; empty when none is held
    std::string heldAt_;  // where it waits
    bool copiesRequired_ = false;
    Delivery failure_ = Delivery::Written;
};

// The save question before New, Open, a sample or a drop: a scene it saves must leave a copy if nothing confirms it.
class CopiesRequired {
public:
    explicit CopiesRequired(PageFileSystem& files) : files_(files) { files_.RequireCopies(true); }
    ~CopiesRequired() { files_.RequireCopies(false); }
    CopiesRequired(const CopiesRequired&) = delete;
    CopiesRequired& operator=(const CopiesRequired&) = delete;

private:
    PageFileSystem& files_;
};


// The page's boxes for the document commands, telling a failed save as its delivery went: a picker the user closed
// is a quiet cancel, as a cancelled dialog is in the exe; a copy that storage refused is told why. Everything else
// goes to the page's own boxes as it is.
class PageSaveReports final : public DocumentUi {
public:
    PageSaveReports(DocumentUi& page, PageFileSystem& files) : page_(page), files_(files) {}
    Answer AskSaveChanges() override { return page_.AskSaveChanges(); }
    bool AskYesNo(const char* utf8Text) override { return page_.AskYesNo(utf8Text); }
    void ShowError(const char* utf8Text) override;
    bool ChooseFile(FileDialog dialog, bool save, char (&name)[kPathCapacity]) override {
        return page_.ChooseFile(dialog, save, name);
    }
    void SetTitle(const char* path) override { page_.SetTitle(path); }

private:
    DocumentUi& page_;
    PageFileSystem& files_;
};
