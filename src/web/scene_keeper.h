// A copy of the scene for as long as it is not saved, kept where the page finds it again after a crash, a
// closed tab or a reload, and the way such a copy becomes the document again. Plain C++: the unit tests drive it
// natively.
#pragma once

#include <cstdint>
#include <string>

#include "editor/document/document_commands.h"
#include "scene/scene.h"
#include "web/page_files.h"

struct Editor;

// Where the copy lives (the page's local storage).
class KeptSceneStore {
public:
    virtual ~KeptSceneStore() = default;
    // The unsaved scene as an object file's text, and the document's name (empty when it has none). False when the
    // store refused it (full, or not allowed).
    virtual bool Keep(const std::string& objectText, const char* documentName) = 0;
    // Nothing is unsaved any more.
    virtual void Forget() = 0;
};

class SceneKeeper {
public:
    // Building the text of a full scene takes a few milliseconds: an unsaved scene is looked at no more often.
    static constexpr uint32_t kLookInterval = 3000;

    explicit SceneKeeper(KeptSceneStore& store) : store_(store) {}
    // Once per idle pass. The first change is kept at once, later ones at the next look; a copy is made and written
    // only when the scene differs from the last one kept. Once the scene is saved (or replaced by a file) the copy is
    // forgotten.
    void Tick(const Editor& editor, const char* textureName, const char* documentName, uint32_t milliseconds);
    // Milliseconds from now until a pass has to Tick again: a pass since the last look may have changed the scene,
    // and the next look keeps that change. -1 when no look waits.
    int32_t NextLookIn(uint32_t now) const;
    // The page is being left: the scene as it is now, whenever it was looked at last.
    void Flush(const Editor& editor, const char* textureName, const char* documentName);
    // True once after the store first refused a copy, so that the user hears of it once; a copy kept later makes
    // the next refusal heard again. A refused copy is tried again when the scene changes.
    bool TakeRefusalNotice();

private:
    void Keep(const Editor& editor, const char* textureName, const char* documentName);
    // Nothing is unsaved: no copy is needed.
    void Saved();

    KeptSceneStore& store_;
    bool kept_ = false;       // the store holds a copy
    uint64_t signature_ = 0;  // SceneSignature of the copy, or of the copy the store refused
    std::string name_;        // the copy's document name
    bool refused_ = false;    // the store refused the copy of signature_
    bool told_ = false;       // the user has heard of a refusal since the last copy kept
    bool notice_ = false;     // a refusal waits to be told
    bool looked_ = false;     // an unsaved scene has been looked at since it was last saved
    bool waiting_ = false;    // a pass came too soon after the last look to look again
    uint32_t lastLook_ = 0;
};

// A save offered as a download whose scene copy could not be kept confirms nothing and leaves nothing behind: the
// scene it saved, still the document, counts as unsaved again, so that leaving the page asks first.
void KeepUnkeptSaveUnsaved(Editor& editor, const Documents& documents, PageFileSystem& files);

// What the object file's text is made of (each in-use cube's place, kind, cell and colour, in slot order, and the
// texture name), hashed: a look at a scene that has not changed costs a millisecond where its text costs tens.
uint64_t SceneSignature(const Scene& scene, const char* textureName);

// The path of the page's file system where a kept scene's text is put to be read.
constexpr char kKeptScenePath[] = "/tmp/kept-scene.bvo";

// A kept scene, its text at path, read as the object file it is and made the document it was: still unsaved, and
// named as it was (the title then shows the name) or unnamed. False, with a message and nothing changed, when
// the text does not read.
bool RestoreKeptScene(DocumentContext& context, const char* path, const char* documentName);

// What a kept copy is: a scene a page left unsaved, or one it handed over as a download that nothing confirmed.
enum class KeptSceneKind { None, Unsaved, Offered };

// The copies a start finds in the page's storage, left by pages that are gone, newest first.
class KeptSceneSource {
public:
    virtual ~KeptSceneSource() = default;
    // The next copy: its text put at path, its document name (empty for none) in name. None when none is left.
    virtual KeptSceneKind Next(const char* path, char (&name)[kPathCapacity]) = 0;
    // The copy given last goes from storage.
    virtual void LetGo() = 0;
};

// At start: each copy is offered back in turn, newest first, naming the file it was, its text read from path. The
// first one taken back is the document, unsaved (its keeper keeps it from the next pass on); the copies after it stay
// for a later start, so that no answer here throws away a scene just taken back. A copy declined, or one that does
// not read, goes.
void OfferKeptScenes(DocumentContext& context, KeptSceneSource& source, const char* path);
