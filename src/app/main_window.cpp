// The main window's own life: creation, destruction, painting, sizing, closing and the wheel.
#include "app/shell.h"

#include <objbase.h>
#include <shellapi.h>

#include "render/d3d9/graphics_device.h"

namespace {

constexpr int kWheelNotch = 120;

// A white bitmap of the creation-time client size, copied to the window before each repaint.
HDC gBackdrop = nullptr;
RECT gBackdropRect = {0, 0, 0, 0};

void OnCreate(HWND window) {
    CoInitialize(nullptr);
    FillFileDialogRecords(window);
    HDC screen = GetDC(nullptr);
    gBackdrop = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    GetClientRect(window, &gBackdropRect);
    HDC windowDc = GetDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, gBackdropRect.right, gBackdropRect.bottom);
    ReleaseDC(window, windowDc);
    SelectObject(gBackdrop, bitmap);
    SelectObject(gBackdrop, GetStockObject(WHITE_BRUSH));
    PatBlt(gBackdrop, 0, 0, gBackdropRect.right, gBackdropRect.bottom, PATCOPY);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

void OnDestroy() {
    CoUninitialize();
    ProfileIniStore ini;
    WriteExitSettings(ini, gSettings, gEditor);
    if (gBackdrop != nullptr) {
        HGDIOBJ bitmap = GetCurrentObject(gBackdrop, OBJ_BITMAP);
        DeleteDC(gBackdrop);
        DeleteObject(bitmap);
        gBackdrop = nullptr;
    }
    PostQuitMessage(0);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    BitBlt(dc, 0, 0, gBackdropRect.right, gBackdropRect.bottom, gBackdrop, 0, 0, SRCCOPY);
    EndPaint(window, &paint);
    if (GraphicsDevice::Device() != nullptr)
        DrawMainWindowFrame(window);
}

void OnSize(HWND window, WPARAM kind, LPARAM size) {
    // Size messages sent while the window is being created find no device yet.
    if (GraphicsDevice::Device() == nullptr)
        return;
    if (kind == SIZE_MINIMIZED) {
        gShellFlags.minimized = true;
        return;
    }
    // Coming back from minimized: the device kept its size.
    if (gShellFlags.minimized) {
        gShellFlags.minimized = false;
        return;
    }
    gSettings.showCommand = kind == SIZE_MAXIMIZED ? kShowMaximized : kShowNormal;
    RebuildGraphics(window, LOWORD(size), HIWORD(size));
}

// Opens the first dropped file and draws the new scene at once; the drop is always let go.
void OnDropFiles(HWND window, HDROP drop) {
    char path[kPathBufferSize] = {};
    const bool opened = DragQueryFileA(drop, 0, path, kPathBufferSize) > 0 && CommandDrop(Document(), path);
    DragFinish(drop);
    if (!opened)
        return;
    RunEditorFrame(window);
    InvalidateRect(window, nullptr, FALSE);
}

// Frames look at the key state only now and then; a press is noted so that a click or a key let go again before
// the next frame still counts. The key state knows the buttons by their physical place, the messages by their
// meaning: with the buttons swapped, the left button's message comes from the right-hand button. A held key's
// repeats are no new presses: a key that chose a menu item and is still down when the menu has gone repeats into
// this window, and must not act here as well.
void OnPress(UINT message, WPARAM wParam, LPARAM lParam) {
    constexpr LPARAM kWasDown = LPARAM{1} << 30;
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    switch (message) {
        case WM_LBUTTONDOWN:
            NoteKeyPress(swapped ? VK_RBUTTON : VK_LBUTTON);
            break;
        case WM_RBUTTONDOWN:
            NoteKeyPress(swapped ? VK_LBUTTON : VK_RBUTTON);
            break;
        case WM_MBUTTONDOWN:
            NoteKeyPress(VK_MBUTTON);
            break;
        default:
            if ((lParam & kWasDown) == 0)
                NoteKeyPress(static_cast<int>(wParam));
            OnShortcutKey(gMainWindow, static_cast<int>(wParam), (lParam & kWasDown) != 0);
            break;
    }
}

void OnMouseWheel(WPARAM wParam) {
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / kWheelNotch;
    WheelZoom(gEditor.camera, static_cast<int16_t>(notches));
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WakeEditorFrames();
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            break;
        case WM_DESTROY:
            OnDestroy();
            break;
        case WM_PAINT:
            OnPaint(window);
            break;
        case WM_SIZE:
            OnSize(window, wParam, lParam);
            break;
        case WM_MOUSEWHEEL:
            OnMouseWheel(wParam);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_KEYDOWN:
            OnPress(message, wParam, lParam);
            break;
        case WM_COMMAND:
            OnCommand(window, LOWORD(wParam));
            break;
        case WM_INITMENUPOPUP:
            UpdateEditMenu(window, reinterpret_cast<HMENU>(wParam));
            break;
        case WM_RENDERFORMAT:
            if (wParam == CF_UNICODETEXT)
                RenderCopiedText(window, false);
            return 0;
        case WM_RENDERALLFORMATS:
            RenderCopiedText(window, true);
            return 0;
        case WM_CLOSE:
            // The default procedure would destroy the window; the save prompt decides first.
            if (CommandClose(Document()))
                DestroyWindow(window);
            return 0;
        case WM_DROPFILES:
            OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
            return 0;
        case kPaletteLoadMessage:
            CommandPaletteLoad(Document());
            return 0;
        case kPaletteSaveMessage:
            CommandPaletteSave(Document());
            return 0;
        case kTextureLoadMessage:
            CommandTextureLoad(Document());
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
