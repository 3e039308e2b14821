// A scripted platform: keys, cursor and clock are set by the test before each frame, and every
// request the core makes is recorded.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/frame_update.h"
#include "editor/platform.h"
#include "math/math3d.h"

class FakePlatform : public Platform {
public:
    std::set<int> keysDown;
    KeyPresses presses;  // pressed since the last frame
    ScreenPoint cursor;
    ClientRect client{0, 0, 800, 600};
    uint32_t clock = 1000;
    std::map<int, bool> menuEnabled;
    std::vector<uint32_t> sentMessages;
    std::vector<std::string> screenshots;
    int framesDrawn = 0;
    bool answerYes = true;

    bool KeyDownRaw(int virtualKey) override { return keysDown.count(virtualKey) != 0; }
    bool KeyPressedSinceLastFrame(int virtualKey) override { return presses.Seen(virtualKey); }
    void ForgetKeyPresses() override { presses.Forget(); }
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
    void Hold(int key) { platform.presses.Note(*platform.keysDown.insert(key).first); }
    void Release(int key) { platform.keysDown.erase(key); }
};

// Puts a white cube into a slot and its cell, as a load would.
inline CubeRecord& PlaceCube(Scene& scene, int slot, float x, float y, float z) {
    CubeRecord& cube = scene.cubes[slot];
    cube = CubeRecord{};
    cube.x = x;
    cube.y = y;
    cube.z = z;
    cube.inUse = 1;
    cube.colour = kWhite;
    scene.grid[Scene::GridIndex(static_cast<int>(x), static_cast<int>(y), static_cast<int>(z))] = 1;
    if (slot > scene.highestUsedSlot)
        scene.highestUsedSlot = slot;
    ++scene.liveCubeCount;
    return cube;
}

// Where a world point appears in the client area for the view the last frame was drawn with.
inline Vec3 ScreenOf(const Editor& editor, Vec3 world) {
    return Vec3Project(world, editor.view.viewport, editor.view.projection, editor.view.view, MatrixIdentity());
}

// A left click at a client position: one frame with the button down, one with it up.
inline void ClickAt(EditorRig& rig, int32_t x, int32_t y) {
    rig.flags.cursorX = x;
    rig.flags.cursorY = y;
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    rig.Release(kKeyLeftButton);
    rig.Frame();
}

inline int CountOccupied(const Scene& scene) {
    int n = 0;
    for (uint8_t cell : scene.grid)
        n += cell == 1;
    return n;
}

// A scene with no cube at all, on the heap.
inline std::unique_ptr<Scene> EmptyScene() {
    auto scene = std::make_unique<Scene>();
    std::memset(scene->cubes, 0, sizeof(scene->cubes));
    std::memset(scene->grid, 0, sizeof(scene->grid));
    scene->highestUsedSlot = -1;
    scene->liveCubeCount = 0;
    return scene;
}
