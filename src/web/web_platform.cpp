// The core's platform services in the browser: keys and buttons from the page's events and fingers made into them,
// polled by the frame update; the clock; the menu bar; questions; and the frame drawn with WebGL.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

#include "editor/editing/mirror.h"
#include "editor/view/draw_frame.h"
#include "editor/frame_update.h"
#include "web/frame_pacing.h"
#include "web/menu_commands.h"
#include "web/page.h"
#include "web/shell.h"

namespace {

EM_JS(int, MenuOrBoxOpenJs, (), { return Blokkenveld.menu.open || Blokkenveld.modalOpen ? 1 : 0; });

class WebPlatform final : public Platform {
public:
    bool KeyDownRaw(int virtualKey) override { return gInput.Down(virtualKey); }
    bool KeyPressedSinceLastFrame(int virtualKey) override { return gInput.Pressed(virtualKey); }
    void ForgetKeyPresses() override { gInput.ForgetPresses(); }
    ScreenPoint CursorScreen() override { return gInput.Pointer(); }
    ClientRect MainClientRect() override { return gRenderer.MeasureClientRect(); }
    uint32_t Milliseconds() override { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }
    void SetMenuItemEnabled(int commandId, bool enabled) override {
        if (commandId == kUndoCommand)
            undoEnabled = enabled;
        else if (commandId == kRedoCommand)
            redoEnabled = enabled;
    }
    bool AskYesNo(const char* utf8Text) override { return PageAskYesNo(utf8Text); }
    void SendToMainWindow(uint32_t message) override { OnMainWindowMessage(message); }
    void DrawFrame() override {
        if (gEditor.screenshotRequest)
            gRenderer.CaptureNextFrame();
        DrawMainWindowFrame();
    }
    void SaveScreenshot(const char* path) override {
        Image frame;
        if (!gRenderer.TakeCapturedFrame(frame))
            return;
        const ClientRect client = gRenderer.MeasureClientRect();
        if (!SaveScreenshotFile(gFiles, path, frame, client.right, client.bottom))
            PageShowError(TextOf(TextId::SaveFailed));
    }

    bool undoEnabled = false;  // as the frame update last set the Undo and Redo items
    bool redoEnabled = false;
};

WebPlatform gPlatform;

// A name as a JSON string.
std::string JsonString(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += *p;
        } else if (ch < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", ch);
            out += escaped;
        } else {
            out += *p;
        }
    }
    return out + "\"";
}

// FNV-1a over 32-bit words, for the tests to compare pixels and colours without reading them out.
uint32_t Fnv1a(const uint32_t* words, size_t count) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < count; ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (words[i] >> shift) & 0xFFu;
            hash *= 16777619u;
        }
    }
    return hash;
}

// A box's lowest and highest cells as a JSON array, or null when it is not there.
std::string BoxJson(bool active, const CellBox& box) {
    if (!active)
        return "null";
    char json[96];
    std::snprintf(json, sizeof(json), "[%d,%d,%d,%d,%d,%d]", box.low.x, box.low.y, box.low.z, box.high.x, box.high.y,
                  box.high.z);
    return json;
}

MenuItemState gShownMenu[kMenuCommandCount];
bool gMenuShownOnce = false;
bool gSizeChanged = true;
int32_t gCanvasLeft = 0;  // the canvas's corner in page pixels, measured with its size
int32_t gCanvasTop = 0;

// A shortcut's press is posted as its menu item would be, never while a menu or a window of the page has the
// keyboard (those keep their keys from here).
EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    const bool repeat = event->repeat != 0;
    const int key = gInput.Key(static_cast<uint32_t>(event->keyCode), down, repeat);
    if (!down)
        return 0;
    const PageKeyAction action =
        PageKeyActionOf(key, event->ctrlKey != 0, event->shiftKey != 0, event->altKey != 0, repeat);
    if (action.commandId != 0 && MenuOrBoxOpenJs() == 0)
        PagePostCommand(action.commandId);
    return action.keepFromBrowser;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* event, void*) {
    gInput.Move(static_cast<int32_t>(event->clientX), static_cast<int32_t>(event->clientY));
    return 0;
}

// Presses count only on the canvas; releases wherever the button is let go.
EM_BOOL OnMouseButton(int eventType, const EmscriptenMouseEvent* event, void*) {
    gInput.Move(static_cast<int32_t>(event->clientX), static_cast<int32_t>(event->clientY));
    gInput.Button(event->button, eventType == EMSCRIPTEN_EVENT_MOUSEDOWN);
    // The middle button would start the browser's scrolling, and a press would select text around the canvas.
    return eventType == EMSCRIPTEN_EVENT_MOUSEDOWN;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void*) {
    const int16_t notches = gInput.Wheel(event->deltaY, static_cast<unsigned>(event->deltaMode));
    if (notches != 0)
        WheelZoom(gEditor.camera, notches);
    return 1;
}

// Leaving the page loses every key-up and button-up that follows: nothing counts as held any more.
EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*) {
    gInput.ReleaseAll();
    gTouch.Forget();
    return 0;
}

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
    gSizeChanged = true;
    return 0;
}

}  // namespace

void InstallInputCallbacks() {
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, 0, OnKey);
    emscripten_set_keyup_callback(window, nullptr, 0, OnKey);
    emscripten_set_mousemove_callback(window, nullptr, 0, OnMouseMove);
    emscripten_set_mousedown_callback("#view", nullptr, 0, OnMouseButton);
    emscripten_set_mouseup_callback(window, nullptr, 0, OnMouseButton);
    emscripten_set_wheel_callback("#view", nullptr, 0, OnWheel);
    emscripten_set_blur_callback(window, nullptr, 0, OnBlur);
    emscripten_set_resize_callback(window, nullptr, 0, OnResize);
}

void DrawMainWindowFrame() {
    DrawEditorFrame(gEditor, BackgroundColour(gSettings, gColourDialog), WireframeColour(gSettings, gColourDialog),
                    gRenderer);
    PageFrameDrawn();
}

void UndoRedoItems(bool& undoEnabled, bool& redoEnabled) {
    undoEnabled = gPlatform.undoEnabled;
    redoEnabled = gPlatform.redoEnabled;
}

void SyncMenuBar() {
    for (int i = 0; i < kMenuCommandCount; ++i) {
        const int command = kMenuCommands[i];
        const MenuItemState state =
            MenuStateOf(gEditor, command, gPlatform.undoEnabled, gPlatform.redoEnabled, gClipboardKnowledge.HasCubes());
        if (!gMenuShownOnce || state.enabled != gShownMenu[i].enabled || state.checked != gShownMenu[i].checked)
            PageSetMenuItem(command, state.enabled, state.checked);
        gShownMenu[i] = state;
    }
    gMenuShownOnce = true;
}

void IdlePass() {
    // A finger held still starts its box now, though no event came since it landed.
    gTouch.Tick(gPlatform.Milliseconds());
    // A new size rebuilds what follows the client size, and the view is drawn at once, as a repaint would.
    if (gSizeChanged) {
        gSizeChanged = false;
        CanvasOrigin(gCanvasLeft, gCanvasTop);
        if (FollowCanvasSize())
            DrawMainWindowFrame();
    }
    gShellFlags.minimized = PageHidden();
    gShellFlags.appActive = PageActive();
    const ScreenPoint pointer = gInput.Pointer();
    gShellFlags.cursorX = pointer.x - gCanvasLeft;
    gShellFlags.cursorY = pointer.y - gCanvasTop;
    const ClientRect client = gRenderer.MeasureClientRect();
    // A point on the right or bottom edge still counts as inside.
    const bool outside = gShellFlags.cursorX < 0 || gShellFlags.cursorX > client.right || gShellFlags.cursorY < 0 ||
                         gShellFlags.cursorY > client.bottom;
    if (outside && !gEditor.paintWindow.dragging)
        gShellFlags.ignoreLeftLatch = true;
    // Without the focus the frame sees every key and button up, as the Windows program's frame after a drop does:
    // what a drop, a command or a restored scene changed shows all the same.
    FrameInput input{gPlatform, gShellFlags};
    if (PageFramesAllowed(gShellFlags.minimized, MenuOrBoxOpenJs() != 0) && FrameDue(gEditor, input)) {
        RunFrameUpdate(gEditor, gShellFlags, gPlatform);
        if (gTouch.FrameRan())
            WakeFrames(gEditor.frame);
    }
    SyncMenuBar();
    gSceneKeeper.Tick(gEditor, gSettings.textureName, gDocuments.currentFileName, gPlatform.Milliseconds());
    if (gSceneKeeper.TakeRefusalNotice())
        PageShowError(TextOf(TextId::KeepRefused));
}

void WakeOnPageEvents() {
    if (PageTakeWake())
        WakeFrames(gEditor.frame);
}

void RestUntilWoken() {
    FrameInput input{gPlatform, gShellFlags};
    const bool allowed = PageFramesAllowed(PageHidden(), MenuOrBoxOpenJs() != 0);
    const uint32_t now = gPlatform.Milliseconds();
    const PageRest rest = RestAfterPass(allowed, FrameDue(gEditor, input),
                                        SoonerLimit(gSceneKeeper.NextLookIn(now), gTouch.NextChangeIn(now)));
    if (rest.rests)
        PageWaitForWake(rest.limitMs);
}

extern "C" {

// A finger on the canvas, in page pixels, as the page's touch pointer events report it.
EMSCRIPTEN_KEEPALIVE void WebTouchDown(int32_t id, int32_t pageX, int32_t pageY) {
    const bool onPanel = PanelTakesClick(gEditor, pageX - gCanvasLeft, pageY - gCanvasTop);
    gTouch.Down(id, pageX, pageY, onPanel, gPlatform.Milliseconds());
}

EMSCRIPTEN_KEEPALIVE void WebTouchMove(int32_t id, int32_t pageX, int32_t pageY) {
    const int16_t notches = gTouch.Move(id, pageX, pageY, gPlatform.Milliseconds());
    if (notches != 0)
        WheelZoom(gEditor.camera, notches);
}

EMSCRIPTEN_KEEPALIVE void WebTouchUp(int32_t id) {
    gTouch.Up(id, gPlatform.Milliseconds());
}

EMSCRIPTEN_KEEPALIVE void WebTouchCancel(int32_t id) {
    gTouch.Cancel(id);
}

// The editor's state as the page's tests read it, as JSON.
EMSCRIPTEN_KEEPALIVE const char* WebEditorState() {
    static char json[4096];
    const Editor& e = gEditor;
    const Camera& c = e.camera;
    std::snprintf(json, sizeof(json),
                  "{\"cubes\":%d,\"tool\":%d,\"lighting\":%s,\"faces\":%s,\"wireframe\":%s,"
                  "\"colour\":%u,\"textureMode\":%s,\"textureCell\":[%d,%d],\"paletteCell\":[%d,%d],"
                  "\"paintWindow\":{\"x\":%.0f,\"y\":%.0f,\"shown\":%s},\"statusShown\":%s,"
                  "\"cannotCreate\":%s,\"undoAvailable\":%s,\"redoAvailable\":%s,"
                  "\"camera\":{\"yaw\":%.6f,\"pitch\":%.6f,\"distance\":%.6f,\"target\":[%.6f,%.6f,%.6f]},"
                  "\"active\":%s,\"client\":[%d,%d],\"cursor\":[%d,%d],"
                  "\"modified\":%s,\"named\":%s,\"fileName\":%s,\"textureName\":%s,"
                  "\"background\":[%d,%d,%d],\"wireframeColour\":[%d,%d,%d],"
                  "\"atlas\":[%d,%d,%u],\"palette\":%u,\"selected\":%d,\"selection\":%s,\"box\":%s}",
                  e.scene.liveCubeCount, static_cast<int>(e.tool), e.lightingSwitch ? "true" : "false",
                  e.facesSwitch ? "true" : "false", e.wireframeSwitch ? "true" : "false", e.currentColour,
                  e.textureMode ? "true" : "false", e.textureColumn, e.textureRow, e.paletteColumn, e.paletteRow,
                  e.paintWindow.x, e.paintWindow.y, e.paintWindow.shown ? "true" : "false",
                  e.statusWindow.shown ? "true" : "false", e.cannotCreate ? "true" : "false",
                  e.undo.undoAvailable ? "true" : "false", e.undo.redoAvailable ? "true" : "false", c.yaw, c.pitch,
                  c.distance, c.targetX, c.targetY, c.targetZ, gShellFlags.appActive ? "true" : "false",
                  gRenderer.MeasureClientRect().right, gRenderer.MeasureClientRect().bottom, gShellFlags.cursorX,
                  gShellFlags.cursorY, e.modified ? "true" : "false", e.named ? "true" : "false",
                  JsonString(gDocuments.currentFileName).c_str(), JsonString(gSettings.textureName).c_str(),
                  gSettings.background.red, gSettings.background.green, gSettings.background.blue,
                  gSettings.wireframe.red, gSettings.wireframe.green, gSettings.wireframe.blue, e.atlas.width,
                  e.atlas.height, Fnv1a(e.atlas.pixels.data(), e.atlas.pixels.size()), Fnv1a(e.palette, kPaletteSize),
                  SelectedCount(e), BoxJson(e.selection.active, e.selection.box).c_str(),
                  BoxJson(e.box.active, BoxBetween(e.box.from, e.box.to)).c_str());
    return json;
}

}  // extern "C"
