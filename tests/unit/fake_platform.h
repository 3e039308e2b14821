// A scripted platform: keys, cursor and clock are set by the test before each frame, and every
// request the core makes is recorded.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/frame_update.h"
#include "editor/platform.h"

class FakePlatform : public Platform {
public:
    std::set<int> keysDown;
    ScreenPoint cursor;
    ClientRect client{0, 0, 800, 600};
    uint32_t clock = 1000;
    std::map<int, bool> menuEnabled;
    std::vector<uint32_t> sentMessages;
    std::vector<std::string> screenshots;
    int framesDrawn = 0;
    bool answerYes = true;

    bool KeyDownRaw(int virtualKey) override { return keysDown.count(virtualKey) != 0; }
    ScreenPoint CursorScreen() override { return cursor; }
    ClientRect MainClientRect() override { return client; }
    uint32_t Milliseconds() override { return clock; }
    void SetMenuItemEnabled(int commandId, bool enabled) override { menuEnabled[commandId] = enabled; }
    bool AskYesNo(const char*) override { return answerYes; }
    void SendToMainWindow(uint32_t message) override { sentMessages.push_back(message); }
    void DrawFrame() override { ++framesDrawn; }
    void SaveScreenshot(const char* path) override { screenshots.emplace_back(path); }
};

// An editor on the heap (it is large) with a fake platform and shell flags, stepped frame by frame.
struct EditorRig {
    std::unique_ptr<Editor> editor = std::make_unique<Editor>();
    FakePlatform platform;
    ShellFlags flags;

    // One frame after the clock moved on by milliseconds.
    void Frame(uint32_t milliseconds = 16) {
        platform.clock += milliseconds;
        RunFrameUpdate(*editor, flags, platform);
    }
    void Hold(int key) { platform.keysDown.insert(key); }
    void Release(int key) { platform.keysDown.erase(key); }
};
