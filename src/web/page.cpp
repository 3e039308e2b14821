#include "web/page.h"

#include <emscripten.h>

#include <string>

namespace {

// The page's scripts speak of these by name. Each table is the one place that says which name is which value: the
// program hands a script the names in the table's order and reads its answer as a place in that list, so that no
// number is shared with the scripts.
template <typename E>
struct Named {
    E value;
    const char* name;
};
constexpr Named<Delivery> kDeliveries[] = {
    {Delivery::Failed, "failed"},           {Delivery::Written, "written"},
    {Delivery::Offered, "offered"},         {Delivery::OfferedUnkept, "offeredUnkept"},
    {Delivery::CopyRefused, "copyRefused"}, {Delivery::Cancelled, "cancelled"}};
constexpr Named<PageFileKind> kFileKinds[] = {{PageFileKind::Object, "object"},
                                              {PageFileKind::Palette, "palette"},
                                              {PageFileKind::Texture, "texture"},
                                              {PageFileKind::Screenshot, "screenshot"},
                                              {PageFileKind::Scene, "scene"}};
constexpr Named<SettingsDialogEnd> kSettingsEnds[] = {{SettingsDialogEnd::Ok, "ok"},
                                                      {SettingsDialogEnd::Cancel, "cancel"},
                                                      {SettingsDialogEnd::CloseBox, "closeBox"}};
constexpr Named<KeptSceneKind> kKeptKinds[] = {{KeptSceneKind::None, "none"},
                                               {KeptSceneKind::Unsaved, "unsaved"},
                                               {KeptSceneKind::Offered, "offered"}};

template <typename E, size_t N>
const char* NameOf(const Named<E> (&table)[N], E value) {
    for (const Named<E>& entry : table) {
        if (entry.value == value)
            return entry.name;
    }
    return "";
}

// The names in the table's order, separated by blanks.
template <typename E, size_t N>
std::string NameList(const Named<E> (&table)[N]) {
    std::string list;
    for (const Named<E>& entry : table)
        list += (list.empty() ? "" : " ") + std::string(entry.name);
    return list;
}

// The value at the place a script answered with; otherwise for a name the table does not have (-1).
template <typename E, size_t N>
E ValueAt(const Named<E> (&table)[N], int place, E otherwise) {
    return place >= 0 && place < static_cast<int>(N) ? table[place].value : otherwise;
}

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
EM_JS(void, DocumentNamedJs, (const char* name), {
    Blokkenveld.files.routing.documentNamed(UTF8ToString(name));
});
EM_JS(void, PageMenuItemJs, (int command, int enabled, int checked), {
    Blokkenveld.menu.setItem(command, enabled != 0, checked != 0);
});
EM_JS(void, AddTextJs, (const char* key, const char* japanese, const char* english), {
    Blokkenveld.texts.add(UTF8ToString(key), UTF8ToString(japanese), UTF8ToString(english));
});
EM_JS(void, NoticeJs, (const char* text), { Blokkenveld.notice(UTF8ToString(text)); });
EM_JS(void, SetLanguageJs, (int english), { Blokkenveld.texts.setLanguage(english ? 'en' : 'ja'); });
EM_JS(void, AddressLanguageJs, (char* value, int capacity), {
    stringToUTF8(Blokkenveld.texts.addressLanguage, value, capacity);
});
EM_JS(void, PageFrameDrawnJs, (), { Blokkenveld.frameDrawn(); });
EM_JS(int, TakeWakeJs, (), { return Blokkenveld.takeWake() ? 1 : 0; });
EM_ASYNC_JS(void, RestJs, (int32_t limit), { await Blokkenveld.rest(limit); });

EM_ASYNC_JS(int, PickFileJs, (const char* kindName, char* name, int capacity), {
    const kind = UTF8ToString(kindName);
    const picked = await Blokkenveld.files.pick(kind);
    const path = picked && Blokkenveld.files.userPath(picked.name);
    if (!picked || lengthBytesUTF8(path) >= capacity) return 0;
    if (kind === "object") Blokkenveld.files.routing.startOpening(path, picked.handle);
    try { FS.unlink(path); } catch (error) {}
    if (picked.bytes) {
        try { FS.writeFile(path, picked.bytes); } catch (error) {}
    }
    stringToUTF8(path, name, capacity);
    return 1;
});
EM_ASYNC_JS(int, SaveNameJs, (const char* kind, char* name, int capacity), {
    const chosen = await Blokkenveld.files.routing.chooseSaveName(UTF8ToString(kind), UTF8ToString(name));
    if (chosen === null || lengthBytesUTF8(chosen) >= capacity) return 0;
    stringToUTF8(chosen, name, capacity);
    return 1;
});
EM_ASYNC_JS(int, DeliverJs, (const char* path, const uint8_t* data, size_t size, int copyRequired,
                             const char* names), {
    const delivered = await Blokkenveld.files.routing.deliver(UTF8ToString(path), HEAPU8.slice(data, data + size),
        copyRequired !== 0);
    return Blokkenveld.placeAmong(UTF8ToString(names), delivered);
});
EM_JS(void, CommandOverJs, (), { Blokkenveld.files.routing.commandOver(); });
EM_JS(void, PostCommandJs, (int command), { Blokkenveld.post({command}); });

EM_JS(int, NextMessageJs, (int* command, char* name, int capacity, const char* heldAt), {
    const message = Blokkenveld.nextMessage();
    if (!message) return 0;
    if (message.command !== undefined) {
        HEAP32[command >> 2] = message.command;
        return 1;
    }
    if (message.paste !== undefined) {
        Blokkenveld.clipboard.taken = message.paste;
        return 3;
    }
    const path = Blokkenveld.files.userPath(message.drop);
    if (lengthBytesUTF8(path) >= capacity) return 0;
    Blokkenveld.files.routing.startOpening(path, message.handle);
    const held = UTF8ToString(heldAt);
    try { FS.unlink(held); } catch (error) {}
    if (message.bytes) {
        try { FS.writeFile(held, message.bytes); } catch (error) {}
    }
    stringToUTF8(path, name, capacity);
    return 2;
});

// Text read from the clipboard waits in the page until the program has room for it: its length in bytes first, or -1
// when there was none.
EM_JS(int, TakenLengthJs, (), {
    const text = Blokkenveld.clipboard.taken;
    return typeof text === "string" ? lengthBytesUTF8(text) : -1;
});
EM_JS(void, TakeTextJs, (char* buffer, int capacity), {
    stringToUTF8(Blokkenveld.clipboard.taken || "", buffer, capacity);
    Blokkenveld.clipboard.taken = null;
});
EM_ASYNC_JS(int, ClipboardWriteJs, (const char* text), {
    return (await Blokkenveld.clipboard.write(UTF8ToString(text))) ? 1 : 0;
});
EM_ASYNC_JS(void, ClipboardReadJs, (), { Blokkenveld.clipboard.taken = await Blokkenveld.clipboard.read(); });

EM_ASYNC_JS(int, SettingsDialogJs, (int32_t* background, int32_t* wireframe, const char* names), {
    const read = (at) => [0, 1, 2].map((i) => HEAP32[(at >> 2) + i]);
    const ended = await Blokkenveld.dialogs.settings(read(background), read(wireframe));
    [0, 1, 2].forEach((i) => {
        HEAP32[(background >> 2) + i] = ended.background[i];
        HEAP32[(wireframe >> 2) + i] = ended.wireframe[i];
    });
    return Blokkenveld.placeAmong(UTF8ToString(names), ended.end);
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
EM_JS(void, OpenHelpJs, (const char* folder), { Blokkenveld.files.openHelp(UTF8ToString(folder)); });

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
EM_ASYNC_JS(int, NextKeptSceneJs, (const char* path, char* name, int capacity, const char* names), {
    const found = await Blokkenveld.files.recovery.next();
    if (found) {
        FS.writeFile(UTF8ToString(path), found.scene);
        stringToUTF8(lengthBytesUTF8(found.name) < capacity ? found.name : "", name, capacity);
    }
    return Blokkenveld.placeAmong(UTF8ToString(names), !found ? "none" : found.offered ? "offered" : "unsaved");
});
EM_JS(void, LetGoOfSceneJs, (), { Blokkenveld.files.recovery.letGo(); });

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

void PageNotice(const char* utf8Text) {
    NoticeJs(utf8Text);
}

void PagePublishTexts() {
    for (const TextRow& row : kTextRows)
        AddTextJs(row.key, row.japanese, row.english);
}

void PageSetLanguage(Language language) {
    SetLanguageJs(language == Language::English ? 1 : 0);
}

void PageAddressLanguage(char* value, int capacity) {
    AddressLanguageJs(value, capacity);
}

void PageFrameDrawn() {
    PageFrameDrawnJs();
}

bool PageTakeWake() {
    return TakeWakeJs() != 0;
}

void PageWaitForWake(int32_t limitMs) {
    RestJs(limitMs);
}

bool PagePickFile(PageFileKind kind, char* name, int capacity) {
    return PickFileJs(NameOf(kFileKinds, kind), name, capacity) != 0;
}

bool PageChooseSaveName(PageFileKind kind, char* name, int capacity) {
    return SaveNameJs(NameOf(kFileKinds, kind), name, capacity) != 0;
}

Delivery PageDeliverFile(const char* path, const uint8_t* data, size_t size, bool copyRequired) {
    const int place = DeliverJs(path, data, size, copyRequired ? 1 : 0, NameList(kDeliveries).c_str());
    return ValueAt(kDeliveries, place, Delivery::Failed);
}

void PageFilesCommandOver() {
    CommandOverJs();
}

PageMessage NextPageMessage(int& command, char* name, int capacity, const char* heldAt) {
    switch (NextMessageJs(&command, name, capacity, heldAt)) {
        case 1:
            return PageMessage::Command;
        case 2:
            return PageMessage::Drop;
        case 3:
            return PageMessage::Paste;
        default:
            return PageMessage::None;
    }
}

namespace {

bool TakeText(std::string& text) {
    const int length = TakenLengthJs();
    if (length < 0)
        return false;
    text.assign(static_cast<size_t>(length) + 1, '\0');
    TakeTextJs(&text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return true;
}

}  // namespace

bool PageTakePastedText(std::string& text) {
    return TakeText(text);
}

void PagePostCommand(int commandId) {
    PostCommandJs(commandId);
}

bool PageClipboard::Put(const std::string& text) {
    return ClipboardWriteJs(text.c_str()) != 0;
}

bool PageClipboard::Take(std::string& text) {
    ClipboardReadJs();
    return TakeText(text);
}

SettingsDialogEnd PageSettingsDialog(int32_t (&background)[3], int32_t (&wireframe)[3]) {
    const int place = SettingsDialogJs(background, wireframe, NameList(kSettingsEnds).c_str());
    return ValueAt(kSettingsEnds, place, SettingsDialogEnd::Cancel);
}

bool PageChooseSample(char* name, int capacity) {
    return ChooseSampleJs(name, capacity) != 0;
}

void PageVersionDialog(const char* versionLine, const char* productKind) {
    VersionDialogJs(versionLine, productKind);
}

void PageOpenHelp(const char* folder) {
    OpenHelpJs(folder);
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

KeptSceneKind PageKeptScenes::Next(const char* path, char (&name)[kPathCapacity]) {
    const int place = NextKeptSceneJs(path, name, kPathCapacity, NameList(kKeptKinds).c_str());
    return ValueAt(kKeptKinds, place, KeptSceneKind::None);
}

void PageKeptScenes::LetGo() {
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
