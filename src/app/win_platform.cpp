// The core's platform services on Win32, and the frame it draws.
#include "app/shell.h"

#include <mmsystem.h>

#include "editor/document/document.h"
#include "editor/view/draw_frame.h"
#include "editor/frame_update.h"
#include "render/d3d9/graphics_device.h"

namespace {

void SaveScreenshotOfClientArea(HWND window, const char* path);

class WindowsPlatform final : public Platform {
public:
    HWND window = nullptr;

    KeyPresses presses;  // from the window's messages since the last frame

    bool KeyDownRaw(int virtualKey) override { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }
    bool KeyPressedSinceLastFrame(int virtualKey) override { return presses.Seen(virtualKey); }
    void ForgetKeyPresses() override { presses.Forget(); }
    ScreenPoint CursorScreen() override {
        POINT p = {0, 0};
        GetCursorPos(&p);
        return {p.x, p.y};
    }
    ClientRect MainClientRect() override {
        RECT r = {0, 0, 0, 0};
        GetClientRect(window, &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    uint32_t Milliseconds() override { return timeGetTime(); }
    void SetMenuItemEnabled(int commandId, bool enabled) override {
        EnableMenuItem(GetMenu(window), static_cast<UINT>(commandId),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    bool AskYesNo(const char* utf8Text) override { return ::AskYesNo(utf8Text); }
    void SendToMainWindow(uint32_t message) override { SendMessageW(window, message, 0, 0); }
    void DrawFrame() override {
        if (gEditor.screenshotRequest)
            CaptureNextFrame();
        DrawMainWindowFrame(window);
    }
    void SaveScreenshot(const char* path) override { SaveScreenshotOfClientArea(window, path); }
};

WindowsPlatform gPlatform;

// The frame just drawn, cut to the client area, as a BMP file; a file that cannot be written is reported.
void SaveScreenshotOfClientArea(HWND window, const char* path) {
    Image frame;
    if (!TakeCapturedFrame(frame))
        return;
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    if (!SaveScreenshotFile(gFiles, path, frame, client.right, client.bottom))
        ShowError(TextOf(TextId::SaveFailed));
}

}  // namespace

void NoteKeyPress(int virtualKey) {
    gPlatform.presses.Note(virtualKey);
}

bool EditorFrameDue() {
    FrameInput input{gPlatform, gShellFlags};
    return FrameDue(gEditor, input);
}

void WakeEditorFrames() {
    WakeFrames(gEditor.frame);
}

void RunEditorFrame(HWND window) {
    gPlatform.window = window;
    RunFrameUpdate(gEditor, gShellFlags, gPlatform);
    SyncEditorChecks(window);
}

void DrawMainWindowFrame(HWND window) {
    DrawEditorFrame(gEditor, BackgroundColour(gSettings, gColourDialog), WireframeColour(gSettings, gColourDialog),
                    DeviceRenderer(window));
}

void SetUpDevice(int32_t width, int32_t height) {
    gGraphicsDevice.SetFixedRenderStates();
    SetViewSize(gEditor.view, width, height);
    gGraphicsDevice.SetProjection(gEditor.view.projection);
}

void RebuildGraphics(HWND window, int32_t width, int32_t height) {
    ReleaseGraphicsResources();
    gGraphicsDevice.Release();
    if (!gGraphicsDevice.Create(window, static_cast<int16_t>(width), static_cast<int16_t>(height))) {
        DestroyWindow(window);
        return;
    }
    SetUpDevice(width, height);
    LoadGraphicsResources(gEditor.atlas);
    RECT client;
    GetClientRect(window, &client);
    PlacePaintWindow(gEditor, client.right, client.bottom);
}
