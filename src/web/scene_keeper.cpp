#include "web/scene_keeper.h"

#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "editor/document/settings.h"
#include "files/object_file.h"

void SceneKeeper::Tick(const Editor& editor, const char* textureName, const char* documentName, uint32_t now) {
    waiting_ = false;
    if (!editor.modified) {
        looked_ = false;
        Saved();
        return;
    }
    // The clock wraps; the difference does not.
    if (looked_ && now - lastLook_ < kLookInterval) {
        waiting_ = true;
        return;
    }
    looked_ = true;
    lastLook_ = now;
    Keep(editor, textureName, documentName);
}

int32_t SceneKeeper::NextLookIn(uint32_t now) const {
    if (!waiting_)
        return -1;
    const uint32_t since = now - lastLook_;
    return since < kLookInterval ? static_cast<int32_t>(kLookInterval - since) : 0;
}

void SceneKeeper::Flush(const Editor& editor, const char* textureName, const char* documentName) {
    if (!editor.modified) {
        Saved();
        return;
    }
    // The last chance: a copy refused earlier is tried once more.
    refused_ = false;
    Keep(editor, textureName, documentName);
}

void SceneKeeper::Saved() {
    if (kept_)
        store_.Forget();
    kept_ = false;
    refused_ = false;
}

void SceneKeeper::Keep(const Editor& editor, const char* textureName, const char* documentName) {
    // A scene without a name keeps none: a name it once had would otherwise come back with it.
    const char* name = editor.named ? documentName : "";
    const uint64_t signature = SceneSignature(editor.scene, textureName);
    if ((kept_ || refused_) && signature == signature_ && name_ == name)
        return;
    signature_ = signature;
    name_ = name;
    kept_ = store_.Keep(ObjectFileText(editor.scene, textureName), name);
    refused_ = !kept_;
    if (kept_)
        told_ = false;
    else if (!told_)
        notice_ = told_ = true;
}

bool SceneKeeper::TakeRefusalNotice() {
    const bool notice = notice_;
    notice_ = false;
    return notice;
}

void KeepUnkeptSaveUnsaved(Editor& editor, const Documents& documents, PageFileSystem& files) {
    std::string path;
    if (files.TakeUnkeptOffer(path) && editor.named && path == documents.currentFileName)
        editor.modified = true;
}

namespace {

// FNV-1a, 64 bits.
void Mix(uint64_t& hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
}

}  // namespace

uint64_t SceneSignature(const Scene& scene, const char* textureName) {
    uint64_t hash = 14695981039346656037ull;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const float place[3] = {cube.x, cube.y, cube.z};
        const int32_t look[4] = {cube.textured, cube.cellColumn, cube.cellRow, static_cast<int32_t>(cube.colour)};
        Mix(hash, place, sizeof(place));
        Mix(hash, look, sizeof(look));
    }
    Mix(hash, textureName, std::strlen(textureName) + 1);
    return hash;
}

bool RestoreKeptScene(DocumentContext& c, const char* path, const char* documentName) {
    if (!LoadObjectFile(c.editor, c.files, c.atlas, path, c.settings.textureName, c.settings.textureSource,
                        c.programDirectory)) {
        c.ui.ShowError(TextOf(TextId::ReadFailed));
        return false;
    }
    CopyPath(c.documents.currentFileName, documentName);
    c.editor.named = documentName[0] != '\0';
    c.editor.modified = true;
    c.ui.SetTitle(c.editor.named ? c.documents.currentFileName : nullptr);
    return true;
}

void OfferKeptScenes(DocumentContext& c, KeptSceneSource& source, const char* path) {
    char name[kPathCapacity];
    for (;;) {
        name[0] = '\0';
        const KeptSceneKind kind = source.Next(path, name);
        if (kind == KeptSceneKind::None)
            return;
        char question[kPathCapacity + 160];
        const char* shown = c.files.FileNamePart(name);
        if (kind == KeptSceneKind::Offered)
            std::snprintf(question, sizeof(question), TextOf(TextId::RestoreOfferedQuestion), shown);
        else if (name[0] != '\0')
            std::snprintf(question, sizeof(question), TextOf(TextId::RestoreNamedQuestion), shown);
        else
            std::snprintf(question, sizeof(question), "%s", TextOf(TextId::RestoreQuestion));
        const bool taken = c.ui.AskYesNo(question) && RestoreKeptScene(c, path, name);
        c.files.Remove(path);
        source.LetGo();
        if (taken)
            return;
    }
}
