// The document services on the page: its boxes, file pickers, save dialog and title; the program's files in the
// page's memory, each file saved handed over through the page (a failed one told as its delivery went); the atlas
// and PNG pictures through the browser's image codecs; the settings in local storage; the copy of an unsaved scene.
#include <cstdio>

#include "files/bitmap.h"
#include "web/page.h"
#include "web/shell.h"

namespace {

constexpr char kProductName[] = "Blokkenveld";

PageFileKind KindOf(FileDialog dialog) {
    switch (dialog) {
        case FileDialog::ObjectSave:
        case FileDialog::ObjectOpen:
            return PageFileKind::Object;
        case FileDialog::Screenshot:
            return PageFileKind::Screenshot;
        case FileDialog::Palette:
            return PageFileKind::Palette;
        case FileDialog::Texture:
            return PageFileKind::Texture;
        case FileDialog::SceneSave:
            return PageFileKind::Scene;
    }
    return PageFileKind::Object;
}

class PageDocumentUi final : public DocumentUi {
public:
    Answer AskSaveChanges() override {
        switch (PageAskYesNoCancel(TextOf(TextId::SaveChangesQuestion))) {
            case 0:
                return Answer::Yes;
            case 1:
                return Answer::No;
            default:
                return Answer::Cancel;
        }
    }
    bool AskYesNo(const char* utf8Text) override { return PageAskYesNo(utf8Text); }
    void ShowError(const char* utf8Text) override { PageShowError(utf8Text); }
    // The open dialogs are the browser's file picker, the save dialogs the page's own.
    bool ChooseFile(FileDialog dialog, bool save, char (&name)[kPathCapacity]) override {
        return save ? PageChooseSaveName(KindOf(dialog), name, kPathCapacity)
                    : PagePickFile(KindOf(dialog), name, kPathCapacity);
    }
    // The page has one folder of the user's files: the title shows a file's name alone.
    void SetTitle(const char* path) override {
        char title[kPathCapacity + 16];
        if (path != nullptr && path[0] != '\0')
            std::snprintf(title, sizeof(title), "%s - %s", kProductName, gFiles.FileNamePart(path));
        else
            std::snprintf(title, sizeof(title), "%s", kProductName);
        PageSetTitle(title);
        PageDocumentNamed(path != nullptr ? path : "");
    }
};

// Images through the browser, which reads every format it shows; BMP files it cannot read through the program's
// own reader. The renderer gets the editor's atlas once it has a context.
class PageAtlasLoader final : public AtlasLoader {
public:
    bool DecodeImage(const uint8_t* data, size_t size, Image& image) override {
        if (PageDecodeImage(data, size, image.width, image.height, image.pixels))
            return true;
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

class PagePngEncoder final : public PngEncoder {
public:
    bool Encode(const Image& image, std::vector<uint8_t>& out) override {
        return image.width > 0 && image.height > 0 &&
               PageEncodePng(image.width, image.height, image.pixels.data(), out);
    }
};

class PageDelivery final : public FileDelivery {
public:
    Delivery Deliver(const char* path, const std::vector<uint8_t>& bytes, bool copyRequired) override {
        return PageDeliverFile(path, bytes.data(), bytes.size(), copyRequired);
    }
};

class LocalStorage final : public KeyValueStore {
public:
    bool Get(const char* name, std::string& value) override { return PageStorageGet(name, value); }
    void Set(const char* name, const char* value) override { PageStorageSet(name, value); }
};

class PageSceneStore final : public KeptSceneStore {
public:
    bool Keep(const std::string& objectText, const char* documentName) override {
        return PageKeepScene(objectText, documentName);
    }
    void Forget() override { PageForgetScene(); }
};

PageDocumentUi gDocumentUi;
PageAtlasLoader gAtlasLoader;
PagePngEncoder gPngEncoder;
PageDelivery gDelivery;
LocalStorage gLocalStorage;
StorageIniStore gIni(gLocalStorage);
PageSceneStore gSceneStore;

}  // namespace

PageFileSystem gFiles(gDelivery);
Documents gDocuments;
SceneKeeper gSceneKeeper(gSceneStore);

DocumentContext& Document() {
    static PageSaveReports ui(gDocumentUi, gFiles);
    static DocumentContext context{gEditor,   gDocuments,        ui,          gFiles, gAtlasLoader, gIni,
                                   gSettings, kProgramDirectory, &gPngEncoder};
    return context;
}

AtlasLoader& Atlas() {
    return gAtlasLoader;
}

IniStore& SettingsStore() {
    return gIni;
}
