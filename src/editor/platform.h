// What the portable core asks of the platform, and the flags the shell keeps for it.
// The Windows shell implements Platform; tests fake it frame by frame.
#pragma once

#include <cstdint>

#include "editor/view/camera.h"
#include "render/frame_drawing.h"

// Private messages by which the paint window asks the main window for file work.
constexpr uint32_t kPaletteLoadMessage = 0x7020;
constexpr uint32_t kPaletteSaveMessage = 0x7021;
constexpr uint32_t kTextureLoadMessage = 0x7022;

// Virtual-key codes the editor polls.
enum VirtualKey : int {
    kKeyLeftButton = 0x01,
    kKeyRightButton = 0x02,
    kKeyMiddleButton = 0x04,
    kKeyShift = 0x10,
    kKeyControl = 0x11,
    kKeyAlt = 0x12,
    kKeyEscape = 0x1B,
    kKeyHome = 0x24,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyA = 0x41,
    kKeyD = 0x44,
    kKeyF = 0x46,
    kKeyG = 0x47,
    kKeyM = 0x4D,
    kKeyN = 0x4E,
    kKeyS = 0x53,
    kKeyW = 0x57,
    kKeyY = 0x59,
    kKeyZ = 0x5A,
};

// Keys and buttons that went down since the last frame, as the shell's input events report them. The key state
// alone misses a press that is let go again before the next frame looks, which slow frames make common.
class KeyPresses {
public:
    void Note(int virtualKey) {
        if (virtualKey > 0 && virtualKey < kCount)
            pressed_[virtualKey] = true;
    }
    bool Seen(int virtualKey) const { return virtualKey > 0 && virtualKey < kCount && pressed_[virtualKey]; }
    void Forget() {
        for (bool& pressed : pressed_)
            pressed = false;
    }

private:
    static constexpr int kCount = 256;
    bool pressed_[kCount] = {};
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual bool KeyDownRaw(int virtualKey) = 0;  // the high bit of the key state, whoever is active
    // Went down since the last frame update ended, even if it is up again by now: a press the main window's own
    // input events reported, each press once (a held key's repeats are not new presses).
    virtual bool KeyPressedSinceLastFrame(int virtualKey) = 0;
    // Called at the end of every frame update: its presses have been counted.
    virtual void ForgetKeyPresses() = 0;
    virtual ScreenPoint CursorScreen() = 0;  // cursor in screen pixels
    virtual ClientRect MainClientRect() = 0;
    virtual uint32_t Milliseconds() = 0;  // wrapping millisecond clock
    virtual void SetMenuItemEnabled(int commandId, bool enabled) = 0;
    virtual bool AskYesNo(const char* utf8Text) = 0;      // question box titled TextId::ConfirmTitle
    virtual void SendToMainWindow(uint32_t message) = 0;  // handled before it returns
    virtual void DrawFrame() = 0;
    virtual void SaveScreenshot(const char* path) = 0;
};

// Plain data that the shell refreshes on every idle pass and the frame update reads.
struct ShellFlags {
    bool appActive = true;  // the main window is the active window
    int32_t cursorX = 0;    // cursor in client pixels
    int32_t cursorY = 0;
    bool ignoreLeftLatch = false;  // the cursor left the client area: a held left button counts as up
    bool minimized = false;        // no frame updates while set
};

// Key sampling for one frame: a key counts as down only while the program is active.
struct FrameInput {
    Platform& platform;
    ShellFlags& flags;

    // Held now, or pressed and let go again since the last frame: a press shorter than a frame counts for one frame.
    bool KeyDown(int virtualKey) const {
        return flags.appActive && (platform.KeyDownRaw(virtualKey) || platform.KeyPressedSinceLastFrame(virtualKey));
    }
    // Held at this moment; a press already let go does not count.
    bool KeyHeld(int virtualKey) const { return flags.appActive && platform.KeyDownRaw(virtualKey); }
    // A press the view itself received since the last frame. A key that chose a menu item or answered a box was
    // taken by that window, and may still be held when the frame after it looks: the key state alone would count
    // it a second time. Keys that act once per press read this, never the key state.
    bool KeyPressedInView(int virtualKey) const {
        return flags.appActive && platform.KeyPressedSinceLastFrame(virtualKey);
    }
    ScreenPoint CursorScreen() const { return platform.CursorScreen(); }
};
