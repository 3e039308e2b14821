// The document commands' dialogs, boxes and window title on Win32, and Help.
#include "app/shell.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "editor/document/help_file.h"
#include "render/d3d9/graphics_device.h"
#include "render/d3d9/textures.h"
#include "win/png_wic.h"

Documents gDocuments;
Win32FileSystem gFiles;

namespace {

constexpr DWORD kDialogFlags = OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT;
constexpr char kHelpControlServer[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr UINT kHelpDisplayContents = 0x0001;  // HH_DISPLAY_TOC

// Narrow paths are in the ANSI code page; the dialogs and the title speak UTF-16.
std::wstring FromAnsi(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length - 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    return wide;
}

bool ToAnsi(const wchar_t* text, char (&out)[kPathCapacity]) {
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, out, kPathCapacity, nullptr, &lost);
    return length > 0 && !lost;
}

// A filter as the dialogs take it: description and pattern pairs, each ended by a NUL, and one more NUL.
std::wstring Filter(std::initializer_list<const char*> parts) {
    std::wstring filter;
    for (const char* part : parts) {
        filter += Widen(part);
        filter += L'\0';
    }
    return filter + L'\0';
}

struct DialogRecord {
    OPENFILENAMEW record;
    std::wstring filter;
    std::wstring title;
    std::wstring defaultExtension;
    std::wstring folder;
    wchar_t name[kPathCapacity];
};

DialogRecord gRecords[6];

void Fill(DialogRecord& r,
          HWND owner,
          std::wstring filter,
          const char* defaultExtension,
          const char* title,
          const char* folder) {
    r.filter = std::move(filter);
    r.defaultExtension = defaultExtension != nullptr ? Widen(defaultExtension) : std::wstring();
    r.title = title != nullptr ? Widen(title) : std::wstring();
    r.folder = FromAnsi(folder);
    // Filled again when the language changes: the kind the user chose last stays chosen.
    const DWORD filterIndex = r.record.nFilterIndex;
    std::memset(&r.record, 0, sizeof(r.record));
    // The record as it was before Windows 2000 extended it, in this build's word size.
    r.record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    r.record.hwndOwner = owner;
    r.record.lpstrFilter = r.filter.c_str();
    r.record.nFilterIndex = filterIndex;
    r.record.lpstrFile = r.name;
    r.record.nMaxFile = kPathCapacity;
    r.record.lpstrInitialDir = r.folder.empty() ? nullptr : r.folder.c_str();
    r.record.lpstrTitle = r.title.empty() ? nullptr : r.title.c_str();
    r.record.lpstrDefExt = r.defaultExtension.empty() ? nullptr : r.defaultExtension.c_str();
    r.record.Flags = kDialogFlags;
}

class WindowsDocumentUi final : public DocumentUi {
public:
    Answer AskSaveChanges() override {
        switch (MessageBoxW(gMainWindow, WideText(TextId::SaveChangesQuestion).c_str(),
                            WideText(TextId::ConfirmTitle).c_str(), MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                return Answer::Yes;
            case IDNO:
                return Answer::No;
            default:
                return Answer::Cancel;
        }
    }
    bool AskYesNo(const char* utf8Text) override { return ::AskYesNo(utf8Text); }
    void ShowError(const char* utf8Text) override { ::ShowError(utf8Text); }
    bool ChooseFile(FileDialog dialog, bool save, char (&name)[kPathCapacity]) override {
        DialogRecord& r = gRecords[static_cast<int>(dialog)];
        const std::wstring proposed = FromAnsi(name);
        wcsncpy(r.name, proposed.c_str(), kPathCapacity - 1);
        r.name[kPathCapacity - 1] = L'\0';
        const BOOL chosen = save ? GetSaveFileNameW(&r.record) : GetOpenFileNameW(&r.record);
        // The dialog leaves the current directory wherever the user browsed to, and the open dialog ignores the
        // flag that would stop it; bare names (the atlas a scene names, the palette) belong to the program folder.
        SetCurrentDirectoryA(gProgramDirectory);
        // A name the ANSI code page cannot hold could not be opened by the narrow paths the files use.
        char ansi[kPathCapacity];
        if (!chosen || !ToAnsi(r.name, ansi))
            return false;
        CopyPath(name, ansi);
        return true;
    }
    void SetTitle(const char* path) override { SetMainTitle(path); }
};

WindowsDocumentUi gDocumentUi;

class DeviceAtlasLoader final : public AtlasLoader {
public:
    bool DecodeImage(const uint8_t* data, size_t size, Image& image) override {
        return DecodeImageBytes(data, size, image);
    }
    void AtlasChanged(const Image& atlas) override { MakeAtlasTexture(atlas); }
};

DeviceAtlasLoader gAtlasLoader;
WicPngEncoder gPngEncoder;
ProfileIniStore gIni;

}  // namespace

void FillFileDialogRecords(HWND window) {
    const char* desktop = gDesktopDirectory;
    const char* program = gProgramDirectory;
    const char* object = TextOf(TextId::ObjectFilter);
    const char* bitmaps = TextOf(TextId::BitmapFilter);
    const char* voxels = TextOf(TextId::VoxFilter);
    const std::wstring bmp = Filter({bitmaps, "*.bmp"});
    Fill(gRecords[static_cast<int>(FileDialog::ObjectSave)], window,
         Filter({object, "*.bvo", TextOf(TextId::MetasequoiaFilter), "*.mqo", TextOf(TextId::GltfFilter), "*.glb",
                 TextOf(TextId::ObjFilter), "*.obj", voxels, "*.vox"}),
         "bvo", nullptr, desktop);
    Fill(gRecords[static_cast<int>(FileDialog::SceneSave)], window, Filter({object, "*.bvo"}), "bvo", nullptr, desktop);
    Fill(gRecords[static_cast<int>(FileDialog::Screenshot)], window, bmp, "bmp", TextOf(TextId::ScreenshotSaveTitle),
         desktop);
    Fill(gRecords[static_cast<int>(FileDialog::ObjectOpen)], window,
         Filter({object, "*.bvo", bitmaps, "*.bmp", voxels, "*.vox"}), nullptr, nullptr, desktop);
    Fill(gRecords[static_cast<int>(FileDialog::Palette)], window, Filter({TextOf(TextId::PaletteFilter), "*.bvp"}),
         "bvp", nullptr, program);
    Fill(gRecords[static_cast<int>(FileDialog::Texture)], window, bmp, "bmp", nullptr, program);
}

DocumentContext& Document() {
    static DocumentContext context{gEditor, gDocuments, gDocumentUi,       gFiles,      gAtlasLoader,
                                   gIni,    gSettings,  gProgramDirectory, &gPngEncoder};
    return context;
}

void SetMainTitle(const char* ansiPath) {
    std::wstring title = kProductName;
    if (ansiPath != nullptr)
        title += L" - " + FromAnsi(ansiPath);
    SetWindowTextW(gMainWindow, title.c_str());
}

void ShowHelp(HWND window) {
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    static bool tried = false;
    static HtmlHelpFunction htmlHelp = nullptr;
    if (!tried) {
        tried = true;
        HMODULE library = nullptr;
        char server[MAX_PATH] = {};
        LONG size = sizeof(server);
        if (RegQueryValueA(HKEY_CLASSES_ROOT, kHelpControlServer, server, &size) == ERROR_SUCCESS && server[0] != '\0')
            library = LoadLibraryA(server);
        if (library == nullptr)
            library = LoadLibraryA("hhctrl.ocx");
        if (library != nullptr)
            htmlHelp = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(library, MAKEINTRESOURCEA(14))));
    }
    if (htmlHelp == nullptr)
        return;
    // The help of the language the program speaks; without it, the Japanese help, said once per run.
    static bool fallbackTold = false;
    const Language language = CurrentLanguage();
    char path[kPathBufferSize];
    std::snprintf(path, sizeof(path), "%s\\%s", gProgramDirectory, CompiledHelpFile(language));
    const HelpChoice choice =
        ChooseCompiledHelp(language, GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES, fallbackTold);
    if (choice.tellFallback)
        MessageBoxW(window, WideText(TextId::HelpFallback).c_str(), kProductName, MB_OK | MB_ICONINFORMATION);
    std::snprintf(path, sizeof(path), "%s\\%s", gProgramDirectory, choice.file);
    htmlHelp(window, path, kHelpDisplayContents, 0);
}
