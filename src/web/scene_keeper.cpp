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
        if (kept_) {
            store_.Forget();
            kept_ = false;
            text_.clear();
        }
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
        text_.clear();
        return;
    }
    Keep(editor, textureName, documentName);
}

void SceneKeeper::Keep(const Editor& editor, const char* textureName, const char* documentName) {
    std::string text = ObjectFileText(editor.scene, textureName);
    if (kept_ && text == text_ && name_ == documentName)
        return;
    store_.Keep(text, documentName);
    kept_ = true;
    text_ = std::move(text);
    name_ = documentName;
}

bool RestoreKeptScene(DocumentContext& c, const char* path, const char* documentName) {
    if (!LoadObjectFile(c.editor, c.files, c.atlas, path, c.settings.textureName, c.programDirectory)) {
        c.ui.ShowError(kReadFailed);
        return false;
    }
    CopyPath(c.documents.currentFileName, documentName);
    c.editor.named = documentName[0] != '\0';
    c.editor.modified = true;
    c.ui.SetTitle(c.editor.named ? c.documents.currentFileName : nullptr);
    return true;
}
