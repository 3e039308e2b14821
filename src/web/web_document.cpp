// The document services on the page: its boxes, its title, the atlas decoded from its file system, and a settings
// store that keeps nothing yet, so that every setting has its default.
#include <cstdio>

#include "files/bitmap.h"
#include "web/page.h"
#include "web/shell.h"

namespace {

constexpr char kProductName[] = "Blokkenveld";

class PageDocumentUi final : public DocumentUi {
public:
    Answer AskSaveChanges() override { return Answer::No; }
    bool AskYesNo(const char* utf8Text) override { return PageAskYesNo(utf8Text); }
    void ShowError(const char* utf8Text) override { PageShowError(utf8Text); }
    // The page offers no file dialogs yet: every one counts as cancelled.
    bool ChooseFile(FileDialog, bool, char (&)[kPathCapacity]) override { return false; }
    void SetTitle(const char* path) override {
        char title[kPathCapacity + 16];
        if (path != nullptr && path[0] != '\0')
            std::snprintf(title, sizeof(title), "%s - %s", kProductName, path);
        else
            std::snprintf(title, sizeof(title), "%s", kProductName);
        PageSetTitle(title);
    }
};

// Bitmaps through the program's own reader; the renderer gets the editor's atlas once it has a context.
class PageAtlasLoader final : public AtlasLoader {
public:
    bool DecodeImage(const uint8_t* data, size_t size, Image& image) override {
        return DecodeBitmap(data, size, image);
    }
    void AtlasChanged(const Image& atlas) override {
        if (!gRenderer.Ready())
            return;
        if (atlas.pixels.empty())
            gRenderer.ClearAtlas();
        else
            gRenderer.LoadAtlas(atlas);
    }
};

class DefaultsIniStore final : public IniStore {
public:
    uint32_t GetInt(const char*, int32_t defaultValue) override { return static_cast<uint32_t>(defaultValue); }
    void GetString(const char*, const char* defaultValue, char* buffer, int capacity) override {
        std::snprintf(buffer, static_cast<size_t>(capacity), "%s", defaultValue);
    }
    void WriteString(const char*, const char*) override {}
};

Documents gDocuments;
PageDocumentUi gDocumentUi;
PageAtlasLoader gAtlasLoader;
DefaultsIniStore gIni;

}  // namespace

DocumentContext& Document() {
    static DocumentContext context{gEditor,      gDocuments, gDocumentUi, gFiles,
                                   gAtlasLoader, gIni,       gSettings,   kProgramDirectory};
    return context;
}

AtlasLoader& Atlas() {
    return gAtlasLoader;
}

IniStore& SettingsStore() {
    return gIni;
}
