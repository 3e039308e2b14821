#include "web/page.h"

#include <emscripten.h>

namespace {

// The bodies below are JavaScript run in the program's module, where its file system (FS) and memory (HEAPU8)
// are at hand; what the page itself does lives in window.Blokkenveld. They hold no line comments: each body
// becomes a single line.
// clang-format off
EM_JS(int, PageActiveJs, (), { return Blokkenveld.active() ? 1 : 0; });
EM_JS(int, PageHiddenJs, (), { return document.hidden ? 1 : 0; });
EM_JS(void, CanvasOriginJs, (int32_t* left, int32_t* top), {
    const r = Blokkenveld.canvas.getBoundingClientRect();
    HEAP32[left >> 2] = Math.round(r.left);
    HEAP32[top >> 2] = Math.round(r.top);
});
EM_JS(void, CanvasElementSizeJs, (int32_t* width, int32_t* height), {
    const r = Blokkenveld.canvas.getBoundingClientRect();
    HEAP32[width >> 2] = Math.max(1, Math.floor(r.width));
    HEAP32[height >> 2] = Math.max(1, Math.floor(r.height));
});
EM_ASYNC_JS(int, PageAskJs, (const char* text), { return (await Blokkenveld.ask(UTF8ToString(text))) ? 1 : 0; });
EM_ASYNC_JS(int, PageAskThreeJs, (const char* text), { return await Blokkenveld.askYesNoCancel(UTF8ToString(text)); });
EM_ASYNC_JS(void, PageErrorJs, (const char* text), { await Blokkenveld.error(UTF8ToString(text)); });
EM_JS(void, PageTitleJs, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, DocumentNamedJs, (const char* name), { Blokkenveld.files.documentNamed(UTF8ToString(name)); });
EM_JS(void, PageMenuItemJs, (int command, int enabled, int checked), {
    Blokkenveld.menu.setItem(command, enabled != 0, checked != 0);
});
EM_JS(void, PageFrameDrawnJs, (), { Blokkenveld.frameDrawn(); });

EM_ASYNC_JS(int, PickFileJs, (int kind, char* name, int capacity), {
    const picked = await Blokkenveld.files.pick(["object", "palette", "texture"][kind]);
    const path = picked && Blokkenveld.files.userPath(picked.name);
    if (!picked || lengthBytesUTF8(path) >= capacity) return 0;
    if (kind === 0) Blokkenveld.files.startOpening(path, picked.handle);
    try { FS.unlink(path); } catch (error) {}
    if (picked.bytes) {
        try { FS.writeFile(path, picked.bytes); } catch (error) {}
    }
    stringToUTF8(path, name, capacity);
    return 1;
});
EM_ASYNC_JS(int, SaveNameJs, (int kind, char* name, int capacity), {
    const chosen = await Blokkenveld.files.chooseSaveName(["object", "palette", "", "screenshot", "scene"][kind],
        UTF8ToString(name));
    if (chosen === null || lengthBytesUTF8(chosen) >= capacity) return 0;
    stringToUTF8(chosen, name, capacity);
    return 1;
});
EM_ASYNC_JS(int, DeliverJs, (const char* path, const uint8_t* data, size_t size), {
    return await Blokkenveld.files.deliver(UTF8ToString(path), HEAPU8.slice(data, data + size));
});

EM_JS(int, NextMessageJs, (int* command, char* name, int capacity), {
    Blokkenveld.files.openingOver();
    const message = Blokkenveld.nextMessage();
    if (!message) return 0;
    if (message.command !== undefined) {
        HEAP32[command >> 2] = message.command;
        return 1;
    }
    const path = Blokkenveld.files.userPath(message.drop);
    if (lengthBytesUTF8(path) >= capacity) return 0;
    Blokkenveld.files.startOpening(path, message.handle);
    try { FS.unlink(path); } catch (error) {}
    if (message.bytes) {
        try { FS.writeFile(path, message.bytes); } catch (error) {}
    }
    stringToUTF8(path, name, capacity);
    return 2;
});

EM_ASYNC_JS(int, SettingsDialogJs, (int32_t* background, int32_t* wireframe), {
    const read = (at) => [0, 1, 2].map((i) => HEAP32[(at >> 2) + i]);
    const ended = await Blokkenveld.dialogs.settings(read(background), read(wireframe));
    [0, 1, 2].forEach((i) => {
        HEAP32[(background >> 2) + i] = ended.background[i];
        HEAP32[(wireframe >> 2) + i] = ended.wireframe[i];
    });
    return ended.end;
});
// The sample chosen comes from the site only now, so that a start never waits for files it may not open. One that
// cannot be had is missing, and the open says it cannot be read.
EM_ASYNC_JS(int, ChooseSampleJs, (char* name, int capacity), {
    const chosen = await Blokkenveld.dialogs.samples();
    if (chosen === null || lengthBytesUTF8(chosen) >= capacity) return 0;
    const bytes = await Blokkenveld.files.siteFile('samples/' + chosen);
    try { if (bytes) FS.writeFile('/samples/' + chosen, bytes); } catch (error) {}
    stringToUTF8(chosen, name, capacity);
    return 1;
});
EM_ASYNC_JS(void, VersionDialogJs, (const char* line, const char* kind), {
    await Blokkenveld.dialogs.version(UTF8ToString(line), UTF8ToString(kind));
});
EM_JS(void, OpenHelpJs, (), { Blokkenveld.files.openHelp(); });

EM_JS(int, StorageLengthJs, (const char* name), {
    const value = Blokkenveld.files.storage.get(UTF8ToString(name));
    Blokkenveld.files.storageValue = value;
    return value === null ? -1 : lengthBytesUTF8(value);
});
EM_JS(void, StorageValueJs, (char* buffer, int capacity), {
    stringToUTF8(Blokkenveld.files.storageValue || "", buffer, capacity);
    Blokkenveld.files.storageValue = null;
});
EM_JS(void, StorageSetJs, (const char* name, const char* value), {
    Blokkenveld.files.storage.set(UTF8ToString(name), UTF8ToString(value));
});
EM_JS(void, KeepFilesJs, (const char* palette, const char* texture), {
    const read = (file) => { try { return FS.readFile(file); } catch (error) { return null; } };
    Blokkenveld.files.keepFiles([UTF8ToString(palette), UTF8ToString(texture)], read);
});

EM_JS(int, KeepSceneJs, (const char* text, const char* name), {
    return Blokkenveld.files.recovery.keep(UTF8ToString(text), UTF8ToString(name)) ? 1 : 0;
});
EM_JS(void, ForgetSceneJs, (), { Blokkenveld.files.recovery.forget(); });
EM_ASYNC_JS(int, FindSceneJs, (const char* path, char* name, int capacity), {
    const found = await Blokkenveld.files.recovery.find();
    Blokkenveld.files.foundScene = found;
    if (!found || lengthBytesUTF8(found.name) >= capacity) return 0;
    FS.writeFile(UTF8ToString(path), found.scene);
    stringToUTF8(found.name, name, capacity);
    return found.offered ? 2 : 1;
});
EM_JS(void, LetGoOfSceneJs, (), {
    if (Blokkenveld.files.foundScene) Blokkenveld.files.recovery.letGo(Blokkenveld.files.foundScene);
    Blokkenveld.files.foundScene = null;
});

EM_ASYNC_JS(int, DecodeImageJs, (const uint8_t* data, size_t size, int32_t* width, int32_t* height), {
    const image = await Blokkenveld.files.decodeImage(HEAPU8.slice(data, data + size));
    Blokkenveld.files.decoded = image;
    if (!image) return 0;
    HEAP32[width >> 2] = image.width;
    HEAP32[height >> 2] = image.height;
    return 1;
});
EM_JS(void, TakeDecodedJs, (uint32_t* pixels), {
    const rgba = Blokkenveld.files.decoded.rgba;
    Blokkenveld.files.decoded = null;
    for (let i = 0, at = pixels >> 2; i < rgba.length; i += 4, ++at)
        HEAPU32[at] = ((rgba[i + 3] << 24) | (rgba[i] << 16) | (rgba[i + 1] << 8) | rgba[i + 2]) >>> 0;
});
EM_ASYNC_JS(int, EncodePngJs, (int32_t width, int32_t height, const uint32_t* pixels), {
    const rgba = new Uint8ClampedArray(width * height * 4);
    for (let i = 0, at = pixels >> 2; i < rgba.length; i += 4, ++at) {
        const argb = HEAPU32[at];
        rgba[i] = (argb >>> 16) & 255;
        rgba[i + 1] = (argb >>> 8) & 255;
        rgba[i + 2] = argb & 255;
        rgba[i + 3] = 255;
    }
    const png = await Blokkenveld.files.encodePng(width, height, rgba);
    Blokkenveld.files.encoded = png;
    return png ? png.length : -1;
});
EM_JS(void, TakeEncodedJs, (uint8_t* out), {
    HEAPU8.set(Blokkenveld.files.encoded, out);
    Blokkenveld.files.encoded = null;
});
// clang-format on

}  // namespace

bool PageActive() {
    return PageActiveJs() != 0;
}

bool PageHidden() {
    return PageHiddenJs() != 0;
}

void CanvasOrigin(int32_t& left, int32_t& top) {
    CanvasOriginJs(&left, &top);
}

void CanvasElementSize(int32_t& width, int32_t& height) {
    CanvasElementSizeJs(&width, &height);
}

bool PageAskYesNo(const char* utf8Text) {
    return PageAskJs(utf8Text) != 0;
}

int PageAskYesNoCancel(const char* utf8Text) {
    return PageAskThreeJs(utf8Text);
}

void PageShowError(const char* utf8Text) {
    PageErrorJs(utf8Text);
}

void PageSetTitle(const char* utf8Title) {
    PageTitleJs(utf8Title);
}

void PageDocumentNamed(const char* name) {
    DocumentNamedJs(name);
}

void PageSetMenuItem(int commandId, bool enabled, bool checked) {
    PageMenuItemJs(commandId, enabled ? 1 : 0, checked ? 1 : 0);
}

void PageFrameDrawn() {
    PageFrameDrawnJs();
}

bool PagePickFile(PageFileKind kind, char* name, int capacity) {
    return PickFileJs(static_cast<int>(kind), name, capacity) != 0;
}

bool PageChooseSaveName(PageFileKind kind, char* name, int capacity) {
    return SaveNameJs(static_cast<int>(kind), name, capacity) != 0;
}

int PageDeliverFile(const char* path, const uint8_t* data, size_t size) {
    return DeliverJs(path, data, size);
}

PageMessage NextPageMessage(int& command, char* name, int capacity) {
    switch (NextMessageJs(&command, name, capacity)) {
        case 1:
            return PageMessage::Command;
        case 2:
            return PageMessage::Drop;
        default:
            return PageMessage::None;
    }
}

int PageSettingsDialog(int32_t (&background)[3], int32_t (&wireframe)[3]) {
    return SettingsDialogJs(background, wireframe);
}

bool PageChooseSample(char* name, int capacity) {
    return ChooseSampleJs(name, capacity) != 0;
}

void PageVersionDialog(const char* versionLine, const char* productKind) {
    VersionDialogJs(versionLine, productKind);
}

void PageOpenHelp() {
    OpenHelpJs();
}

bool PageStorageGet(const char* name, std::string& value) {
    const int length = StorageLengthJs(name);
    if (length < 0)
        return false;
    value.assign(static_cast<size_t>(length) + 1, '\0');
    StorageValueJs(&value[0], length + 1);
    value.resize(static_cast<size_t>(length));
    return true;
}

void PageStorageSet(const char* name, const char* value) {
    StorageSetJs(name, value);
}

void PageKeepSettingsFiles(const char* paletteName, const char* textureName) {
    KeepFilesJs(paletteName, textureName);
}

bool PageKeepScene(const std::string& objectText, const char* documentName) {
    return KeepSceneJs(objectText.c_str(), documentName) != 0;
}

void PageForgetScene() {
    ForgetSceneJs();
}

PageKeptScene PageFindKeptScene(const char* path, char* name, int capacity) {
    switch (FindSceneJs(path, name, capacity)) {
        case 1:
            return PageKeptScene::Unsaved;
        case 2:
            return PageKeptScene::Offered;
        default:
            return PageKeptScene::None;
    }
}

void PageLetGoOfKeptScene() {
    LetGoOfSceneJs();
}

bool PageDecodeImage(const uint8_t* data, size_t size, int32_t& width, int32_t& height, std::vector<uint32_t>& pixels) {
    if (DecodeImageJs(data, size, &width, &height) == 0)
        return false;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    TakeDecodedJs(pixels.data());
    return true;
}

bool PageEncodePng(int32_t width, int32_t height, const uint32_t* pixels, std::vector<uint8_t>& out) {
    const int size = EncodePngJs(width, height, pixels);
    if (size < 0)
        return false;
    out.assign(static_cast<size_t>(size), 0);
    TakeEncodedJs(out.data());
    return true;
}
