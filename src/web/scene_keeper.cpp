#include "web/scene_keeper.h"

#include <cstring>

#include "editor/editor.h"
#include "editor/settings.h"
#include "files/object_file.h"

namespace {

constexpr char kReadFailed[] = "ファイルの読み込みに失敗しました";

}  // namespace

void SceneKeeper::Tick(const Editor& editor, const char* textureName, const char* documentName, uint32_t now) {
    if (!editor.modified) {
        looked_ = false;
        if (kept_)
            store_.Forget();
        kept_ = false;
        return;
    }
    // The clock wraps; the difference does not.
    if (looked_ && now - lastLook_ < kLookInterval)
        return;
    looked_ = true;
    lastLook_ = now;
    Keep(editor, textureName, documentName);
}

void SceneKeeper::Flush(const Editor& editor, const char* textureName, const char* documentName) {
    if (!editor.modified) {
        if (kept_)
            store_.Forget();
        kept_ = false;
        return;
    }
    Keep(editor, textureName, documentName);
}

void SceneKeeper::Keep(const Editor& editor, const char* textureName, const char* documentName) {
    const uint64_t signature = SceneSignature(editor.scene, textureName);
    if (kept_ && signature == signature_ && name_ == documentName)
        return;
    store_.Keep(ObjectFileText(editor.scene, textureName), documentName);
    kept_ = true;
    signature_ = signature;
    name_ = documentName;
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
        c.ui.ShowError(kReadFailed);
        return false;
    }
    CopyPath(c.documents.currentFileName, documentName);
    c.editor.named = documentName[0] != '\0';
    c.editor.modified = true;
    c.ui.SetTitle(c.editor.named ? c.documents.currentFileName : nullptr);
    return true;
}
