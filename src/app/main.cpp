// Entry point: program directory, settings, the main window and the device, then the loop that runs a frame
// update whenever no message is waiting, and waits for messages while the window is minimized or inactive.
#include "app/shell.h"

#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "render/d3d9/graphics_device.h"
#include "resource_ids.h"

// Constructed before the entry point runs; the device object comes first (see graphics_resources.cpp).
Editor gEditor;
HWND gMainWindow = nullptr;
ShellFlags gShellFlags;
Settings gSettings;
ColourDialogState gColourDialog;
char gProgramDirectory[kPathBufferSize] = {};
char gSettingsPath[kPathBufferSize] = {};
char gDesktopDirectory[kPathBufferSize] = {};

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr UINT kTimerResolution = 1;
constexpr DWORD kCursorLookMs = 100;  // how often a waiting loop looks whether the cursor has left the view

// Released at process exit in this order, also on the early-return paths.
struct GraphicsTeardown {
    ~GraphicsTeardown() {
        ReleaseGraphicsResources();
        gGraphicsDevice.Release();
    }
};

void FindProgramDirectory() {
    char modulePath[kPathBufferSize] = {};
    GetModuleFileNameA(nullptr, modulePath, kPathBufferSize);
    // Split where the code page says the file name starts: a byte 0x5C may be the second half of a character.
    modulePath[gFiles.FileNamePart(modulePath) - modulePath] = '\0';
    std::snprintf(gProgramDirectory, kPathBufferSize, "%s", modulePath);
    SetCurrentDirectoryA(gProgramDirectory);
    std::snprintf(gSettingsPath, kPathBufferSize, "%s\\%s", gProgramDirectory, kSettingsFileName);
}

void FindDesktopDirectory() {
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, gDesktopDirectory)))
        gDesktopDirectory[0] = '\0';
}

HWND CreateMainWindow(HINSTANCE instance) {
    RECT outer = {0, 0, ClientWidthForMode(gSettings.windowMode), ClientHeightForMode(gSettings.windowMode)};
    AdjustWindowRect(&outer, kWindowStyle, TRUE);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM_SMALL));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kProductName;
    RegisterClassExW(&windowClass);

    return CreateWindowExW(0, kProductName, kProductName, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           outer.right - outer.left, outer.bottom - outer.top, nullptr, BuildMainMenu(), instance,
                           nullptr);
}

}  // namespace

void SetViewChecks(HWND window) {
    HMENU menu = GetMenu(window);
    CheckMenuItem(menu, ID_VIEW_PAINT_WINDOW, MF_BYCOMMAND | (gEditor.paintWindow.shown ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_VIEW_STATUS_WINDOW, MF_BYCOMMAND | (gEditor.statusWindow.shown ? MF_CHECKED : MF_UNCHECKED));
}

namespace {

// The idle pass: refresh the shell flags, then one frame while the window is active and shown and the editor has
// a frame due. Returns whether a frame ran.
bool IdlePass(HWND window) {
    gShellFlags.appActive = GetActiveWindow() == window;
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    gShellFlags.cursorX = cursor.x;
    gShellFlags.cursorY = cursor.y;
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    // A point on the right or bottom edge still counts as inside.
    const bool outside = cursor.x < 0 || cursor.x > client.right || cursor.y < 0 || cursor.y > client.bottom;
    if (outside && !gEditor.paintWindow.dragging)
        gShellFlags.ignoreLeftLatch = true;
    if (gShellFlags.minimized || !gShellFlags.appActive || !EditorFrameDue())
        return false;
    RunEditorFrame(window);
    return true;
}

// No frame runs until a message changes that: activation, a restore, a drop, a menu or a dialog all arrive as
// messages, and the idle pass after them refreshes the flags before any frame. Only the cursor leaving the client
// area over another window brings no message, yet the first frame must find the ignore-left-button latch set after
// it; so while the latch is clear the wait also ends now and then for another look at the cursor.
void WaitForMessage() {
    const DWORD timeout = gShellFlags.ignoreLeftLatch ? INFINITE : kCursorLookMs;
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// Every pass ends with a 1 ms sleep. While the window is active and shown and frames are due, they run back to
// back; otherwise the loop waits for a message after each idle pass. Every message wakes the frames: those sent
// straight to the window (activation, sizing) reach it through the window procedure, which wakes them too.
void RunMainLoop(HWND window) {
    for (;;) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageW(&message, nullptr, 0, 0) <= 0)
                break;
            WakeEditorFrames();
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else if (!IdlePass(window)) {
            WaitForMessage();
        }
        Sleep(1);
    }
}

}  // namespace

std::wstring WideText(TextId id) {
    return Widen(TextOf(id));
}

void ShowError(const char* utf8Text) {
    MessageBoxW(gMainWindow, Widen(utf8Text).c_str(), WideText(TextId::ErrorTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool AskYesNo(const char* utf8Text) {
    return MessageBoxW(gMainWindow, Widen(utf8Text).c_str(), WideText(TextId::ConfirmTitle).c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    GraphicsTeardown teardown;
    FindProgramDirectory();
    ProfileIniStore ini;
    ReadSettings(ini, gSettings, gEditor);
    SetLanguage(gSettings.language);
    FindDesktopDirectory();

    gMainWindow = CreateMainWindow(instance);
    SetViewChecks(gMainWindow);
    SyncEditorChecks(gMainWindow);
    // The atlas is decoded once, here and whenever another is chosen or loaded; every device is given it
    // from memory.
    LoadSettingsAtlas(gEditor, gFiles, Document().atlas, gSettings, gProgramDirectory);
    const int32_t width = ClientWidthForMode(gSettings.windowMode);
    const int32_t height = ClientHeightForMode(gSettings.windowMode);
    if (!gGraphicsDevice.Create(gMainWindow, static_cast<int16_t>(width), static_cast<int16_t>(height))) {
        ShowError(TextOf(TextId::DirectXFailed));
        return 0;
    }
    SetUpDevice(width, height);
    if (!LoadGraphicsResources(gEditor.atlas)) {
        ShowError(TextOf(TextId::InitialisationFailed));
        return 0;
    }
    LoadStartupPalette(gEditor, gFiles, gSettings.paletteName);
    DragAcceptFiles(gMainWindow, TRUE);
    OpenCommandLineFile(Document(), commandLine);
    ShowWindow(gMainWindow, gSettings.showCommand);
    // The settings may put the panel anywhere; it starts inside the client area the window opened with.
    RECT client = {0, 0, 0, 0};
    GetClientRect(gMainWindow, &client);
    PlacePaintWindow(gEditor, client.right, client.bottom);
    UpdateWindow(gMainWindow);

    timeBeginPeriod(kTimerResolution);
    RunMainLoop(gMainWindow);
    timeEndPeriod(kTimerResolution);
    return 0;
}
