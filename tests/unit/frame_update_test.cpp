#include <gtest/gtest.h>

#include <algorithm>

#include "editor/editing/tools.h"
#include "fake_platform.h"

namespace {

// A rig whose first frame has run, with the cursor over the view and away from both panels.
struct ViewRig : EditorRig {
    ViewRig() {
        flags.cursorX = 400;
        flags.cursorY = 300;
        Frame();
        Frame();  // the status strip has been measured by now in the real program
        editor->statusWindow.rect = {0, 0, 800, 600};
    }
};

}  // namespace

TEST(FrameUpdate, FrameTimeUsesUnsignedClockDifferences) {
    EditorRig rig;
    rig.platform.clock = 0xFFFFFFF0u;
    rig.Frame(0);
    EXPECT_EQ(rig.editor->frame.frameTime, 0.0f);
    rig.Frame(32);  // wraps past zero
    EXPECT_FLOAT_EQ(rig.editor->frame.frameTime, 0.032f);
}

TEST(FrameUpdate, NothingCountsAsDownWhileAnotherProgramIsActive) {
    EditorRig rig;
    rig.Frame();
    rig.flags.appActive = false;
    rig.Hold(kKeyLeft);
    rig.Hold(kKeyLeftButton);
    rig.Hold(kKeyRightButton);
    const float yaw = rig.editor->camera.yaw;
    rig.Frame(100);
    EXPECT_EQ(rig.editor->camera.yaw, yaw);
    EXPECT_FALSE(rig.editor->frame.leftDown);
    EXPECT_FALSE(rig.editor->camera.orbitActive);
}

TEST(FrameUpdate, LatchedLeftButtonCountsAsUpUntilReleased) {
    ViewRig rig;
    rig.flags.ignoreLeftLatch = true;  // pressed outside the client area
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    EXPECT_FALSE(rig.editor->frame.leftDown);
    EXPECT_TRUE(rig.flags.ignoreLeftLatch);
    rig.Frame();
    EXPECT_FALSE(rig.editor->frame.leftDown);

    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_FALSE(rig.flags.ignoreLeftLatch);
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    EXPECT_TRUE(rig.editor->frame.leftDown);
    // A click over before the frame looks is taken by the latch as a held one is, and the next one counts.
    rig.Release(kKeyLeftButton);
    rig.flags.ignoreLeftLatch = true;
    for (const bool counts : {false, true}) {
        rig.platform.presses.Note(kKeyLeftButton);
        rig.Frame();
        EXPECT_EQ(rig.editor->frame.leftDown, counts);
    }
}

TEST(FrameUpdate, PressesOnEitherPanelRectangleBelongToThePanelEvenWhenHidden) {
    struct Case {
        int32_t x, y;
        bool paintShown;
        bool panel;
    };
    const Case cases[] = {
        {400, 300, true, false},  // the view
        {0, 0, true, true},       // paint window corner
        {157, 502, true, true},   // its last pixel
        {158, 100, true, false},  // just right of it
        {100, 503, true, false},  // just below it
        {100, 100, false, true},  // hidden, still taken
        {400, 584, true, true},   // status strip click area
        {400, 583, true, false},  // just above it
        {400, -1, true, true},    // above the client area (the menu bar)
    };
    for (const Case& c : cases) {
        ViewRig rig;
        rig.editor->paintWindow.shown = c.paintShown;
        rig.flags.cursorX = c.x;
        rig.flags.cursorY = c.y;
        rig.Hold(kKeyLeftButton);
        rig.Frame();
        EXPECT_EQ(rig.editor->frame.clickConsumedByPanel, c.panel) << c.x << "," << c.y;
    }
}

TEST(FrameUpdate, StatusStripTakesNoClickBeforeItWasEverMeasured) {
    EditorRig rig;
    rig.editor->statusWindow.shown = false;
    rig.flags.cursorX = 400;
    rig.flags.cursorY = 590;
    rig.Frame();
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    EXPECT_FALSE(rig.editor->frame.clickConsumedByPanel);
}

TEST(FrameUpdate, TitleStripDragMovesThePanelWithinTheClientArea) {
    ViewRig rig;
    Editor& editor = *rig.editor;
    rig.flags.cursorX = 50;
    rig.flags.cursorY = 10;
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    EXPECT_TRUE(editor.paintWindow.dragging);

    rig.flags.cursorX = 150;
    rig.flags.cursorY = 60;
    rig.Frame();
    EXPECT_EQ(editor.paintWindow.x, 100.0f);
    EXPECT_EQ(editor.paintWindow.y, 50.0f);
    EXPECT_EQ(editor.paintColourVertices[0].x, 125.0f);  // the geometry follows

    rig.flags.cursorX = 5000;
    rig.flags.cursorY = 5000;
    rig.Frame();
    EXPECT_EQ(editor.paintWindow.x, 800.0f - 158.0f);
    EXPECT_EQ(editor.paintWindow.y, 600.0f - 519.0f);

    rig.flags.cursorX = -500;
    rig.flags.cursorY = -500;
    rig.Frame();
    EXPECT_EQ(editor.paintWindow.x, 0.0f);
    EXPECT_EQ(editor.paintWindow.y, 0.0f);

    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_FALSE(editor.paintWindow.dragging);
}

TEST(FrameUpdate, NoClickDuringAnOrbitOrRightAfterALoad) {
    ViewRig rig;
    rig.flags.cursorX = 50;
    rig.flags.cursorY = 10;  // the title strip: a click would start a drag
    rig.Hold(kKeyRightButton);
    rig.Frame();
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    EXPECT_FALSE(rig.editor->paintWindow.dragging);
    rig.Release(kKeyLeftButton);
    rig.Release(kKeyRightButton);
    rig.Frame();

    rig.editor->ignoreNextClick = true;
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    EXPECT_FALSE(rig.editor->paintWindow.dragging);
    EXPECT_FALSE(rig.editor->ignoreNextClick);  // consumed by the first frame, click or not
}

TEST(FrameUpdate, HeldCtrlZUndoesOncePerPress) {
    ViewRig rig;
    Editor& editor = *rig.editor;
    for (int i = 0; i < 3; ++i) {
        UndoEntry entry{};
        entry.slot = 0;
        entry.colourBefore = 0xFF000000u + static_cast<uint32_t>(i);
        entry.colourAfter = kWhite;
        RecordEdit(editor.undo, kUndoPaint, entry);
    }
    rig.Frame();
    EXPECT_TRUE(rig.platform.menuEnabled[kUndoCommand]);
    EXPECT_FALSE(rig.platform.menuEnabled[kRedoCommand]);

    rig.Hold(kKeyControl);
    rig.Hold(kKeyZ);
    for (int i = 0; i < 5; ++i)
        rig.Frame();
    EXPECT_EQ(editor.undo.depth, 2);
    EXPECT_EQ(editor.scene.cubes[0].colour, 0xFF000002u);

    // Y pressed while Ctrl+Z is still held does not redo.
    rig.Hold(kKeyY);
    rig.Frame();
    EXPECT_EQ(editor.undo.depth, 2);

    rig.Release(kKeyZ);
    rig.Release(kKeyY);
    rig.Frame();
    rig.Hold(kKeyY);
    rig.Frame();
    EXPECT_EQ(editor.undo.depth, 3);
    EXPECT_EQ(editor.scene.cubes[0].colour, kWhite);
}

// Z and Y pressed in one frame: the undo wins, and the redo waits for a press of its own.
TEST(FrameUpdate, CtrlZAndCtrlYInOneFrameUndoOnce) {
    ViewRig rig;
    Editor& editor = *rig.editor;
    for (int i = 0; i < 2; ++i)
        RecordEdit(editor.undo, kUndoPaint, UndoEntry{});
    rig.Frame();
    rig.Hold(kKeyControl);
    rig.Hold(kKeyZ);
    rig.Hold(kKeyY);
    rig.Frame();
    rig.Frame();
    EXPECT_EQ(editor.undo.depth, 1);
    EXPECT_TRUE(editor.undo.redoAvailable);
    rig.Release(kKeyZ);
    rig.Frame();
    EXPECT_EQ(editor.undo.depth, 1);
}

TEST(FrameUpdate, CtrlZIsIgnoredInTheFrameAfterALoad) {
    ViewRig rig;
    UndoEntry entry{};
    RecordEdit(rig.editor->undo, kUndoPaint, entry);
    rig.editor->ignoreNextClick = true;
    rig.Hold(kKeyControl);
    rig.Hold(kKeyZ);
    rig.Frame();
    rig.Frame();
    EXPECT_EQ(rig.editor->undo.depth, 1);
}

TEST(FrameUpdate, MenuUndoRequestIsServedOnceAndRefusedWhenUnavailable) {
    ViewRig rig;
    Editor& editor = *rig.editor;
    editor.undo.undoRequest = true;
    rig.Frame();
    EXPECT_FALSE(editor.undo.undoRequest);
    EXPECT_EQ(editor.undo.depth, 0);

    UndoEntry entry{};
    RecordEdit(editor.undo, kUndoPaint, entry);
    editor.undo.undoRequest = true;
    rig.Frame();
    EXPECT_EQ(editor.undo.depth, 0);
    EXPECT_FALSE(editor.undo.undoAvailable);
    EXPECT_TRUE(editor.undo.redoAvailable);
    rig.Frame();
    EXPECT_FALSE(rig.platform.menuEnabled[kUndoCommand]);
    EXPECT_TRUE(rig.platform.menuEnabled[kRedoCommand]);
}

TEST(FrameUpdate, ScreenshotIsSavedAfterTheFrameIsDrawnOnceWithTheLastName) {
    ViewRig rig;
    rig.editor->RequestScreenshot("C:\\first.bmp");
    rig.editor->RequestScreenshot("C:\\second.bmp");
    const int drawn = rig.platform.framesDrawn;
    rig.Frame();
    rig.Frame();
    EXPECT_EQ(rig.platform.framesDrawn, drawn + 2);
    ASSERT_EQ(rig.platform.screenshots.size(), 1u);
    EXPECT_EQ(rig.platform.screenshots[0], "C:\\second.bmp");
}

// M, N and Home act for a press the view received, once however long the key is held; a key still down from a menu
// or a box that took its press does nothing. M takes each plane from its own axis: the cube's x, y and z differ.
TEST(FrameUpdate, ViewKeysActOncePerPressTheViewReceived) {
    ViewRig rig;
    Editor& editor = *rig.editor;
    PlaceCube(editor.scene, 1, 90, 95, 110);
    editor.camera.targetX = 90.5f;
    editor.camera.targetY = 95.5f;
    editor.camera.targetZ = 110.5f;
    rig.Frame();  // the cube's centre is now the middle of the view, under the cursor
    const auto sums = [&] { return std::vector<int32_t>(editor.mirror.sum, editor.mirror.sum + 3); };

    rig.platform.keysDown = {kKeyM, kKeyN, kKeyHome};  // held, but pressed in a menu
    for (int i = 0; i < 3; ++i)
        rig.Frame();
    EXPECT_EQ(sums(), (std::vector<int32_t>{200, 200, 200}));
    EXPECT_FALSE(editor.mirror.Any());
    EXPECT_EQ(editor.camera.masterZoom, kStartMasterZoom);
    rig.platform.keysDown.clear();

    rig.Hold(kKeyM);
    rig.Frame();
    EXPECT_EQ(sums(), (std::vector<int32_t>{180, 190, 220}));
    editor.mirror.sum[0] = 7;
    for (int i = 0; i < 5; ++i)
        rig.Frame();  // held: no second press
    EXPECT_EQ(editor.mirror.sum[0], 7);
    rig.Release(kKeyM);
    rig.Frame();
    rig.Hold(kKeyM);
    rig.Frame();
    EXPECT_EQ(editor.mirror.sum[0], 180) << "a new press acts again";

    rig.Hold(kKeyN);
    rig.Frame();
    EXPECT_EQ(std::count(editor.mirror.on, editor.mirror.on + 3, true), 1);
    editor.mirror = MirrorState{};
    rig.Frame();
    EXPECT_FALSE(editor.mirror.Any());

    // A press that reached the window while another program was active does not count.
    rig.flags.appActive = false;
    rig.Release(kKeyM);
    rig.Hold(kKeyM);
    editor.mirror.sum[0] = 7;
    rig.Frame();
    rig.flags.appActive = true;
    rig.Release(kKeyM);

    rig.Hold(kKeyHome);
    rig.Frame();
    EXPECT_NE(editor.camera.masterZoom, kStartMasterZoom);
    editor.camera.masterZoom = kStartMasterZoom;
    rig.Frame();
    EXPECT_EQ(editor.camera.masterZoom, kStartMasterZoom);
    EXPECT_EQ(editor.mirror.sum[0], 7);
}

namespace {

// Runs frames for as long as they are due, at most limit; returns how many ran.
int FramesUntilRest(EditorRig& rig, int limit = 10) {
    FrameInput input{rig.platform, rig.flags};
    int frames = 0;
    while (frames < limit && FrameDue(*rig.editor, input)) {
        rig.Frame();
        ++frames;
    }
    return frames;
}

bool Due(EditorRig& rig) {
    FrameInput input{rig.platform, rig.flags};
    return FrameDue(*rig.editor, input);
}

}  // namespace

TEST(FrameWake, AWakeRunsItsFramesThenTheProgramRests) {
    EditorRig rig;
    EXPECT_EQ(FramesUntilRest(rig), kFramesAfterWake);  // the start's
    EXPECT_EQ(FramesUntilRest(rig), 0);
    WakeFrames(rig.editor->frame);
    EXPECT_EQ(FramesUntilRest(rig), kFramesAfterWake);
    // A wake during the frames it asked for starts them again.
    WakeFrames(rig.editor->frame);
    rig.Frame();
    WakeFrames(rig.editor->frame);
    EXPECT_EQ(FramesUntilRest(rig), kFramesAfterWake);
}

TEST(FrameWake, HeldKeysAndButtonsThatFramesReadKeepFramesDue) {
    const int held[] = {kKeyLeftButton, kKeyRightButton, kKeyMiddleButton,
                        kKeyLeft,       kKeyUp,          kKeyRight,
                        kKeyDown,       kKeyA,           kKeyD,
                        kKeyF,          kKeyG,           kKeyS,
                        kKeyW};
    for (const int key : held) {
        EditorRig rig;
        rig.flags.cursorX = 400;  // over the view, away from the panel
        rig.flags.cursorY = 300;
        FramesUntilRest(rig);
        rig.Hold(key);
        EXPECT_EQ(FramesUntilRest(rig), 10) << key;
        // Let go: the frame that sees it, then rest.
        rig.Release(key);
        EXPECT_EQ(FramesUntilRest(rig), 0) << key;
        // A press let go before any frame saw it still gets its frame.
        rig.Hold(key);
        rig.Release(key);
        EXPECT_EQ(FramesUntilRest(rig), 1) << key;
        // Held while another program is active: nothing counts as down.
        rig.flags.appActive = false;
        rig.Hold(key);
        EXPECT_FALSE(Due(rig)) << key;
    }
    // Keys that only change what a press does, and keys that act once per press (which arrives as a wake).
    for (const int key : {kKeyShift, kKeyControl, kKeyAlt, kKeyZ, kKeyM}) {
        EditorRig rig;
        FramesUntilRest(rig);
        rig.Hold(key);
        rig.Frame();
        EXPECT_FALSE(Due(rig)) << key;
    }
}

TEST(FrameWake, WorkInProgressOrWaitingKeepsFramesDueUntilItIsDone) {
    const struct {
        const char* what;
        void (*begin)(Editor&);
        void (*end)(Editor&);
    } kCases[] = {
        {"a box", [](Editor& e) { e.box.active = true; }, [](Editor& e) { e.box.active = false; }},
        {"a Ctrl drag", [](Editor& e) { e.selectStroke.active = true; },
         [](Editor& e) { e.selectStroke.active = false; }},
        {"the panel's drag", [](Editor& e) { e.paintWindow.dragging = true; },
         [](Editor& e) { e.paintWindow.dragging = false; }},
        {"a held step button", [](Editor& e) { e.paintWindow.pressedButton = kButtonRedPlus; },
         [](Editor& e) { e.paintWindow.pressedButton = kButtonNone; }},
        {"a screenshot", [](Editor& e) { e.screenshotRequest = true; }, [](Editor& e) { e.screenshotRequest = false; }},
        {"an opened model", [](Editor& e) { e.frameOpenedModel = true; },
         [](Editor& e) { e.frameOpenedModel = false; }},
        {"a load's click", [](Editor& e) { e.ignoreNextClick = true; }, [](Editor& e) { e.ignoreNextClick = false; }},
        {"an undo", [](Editor& e) { e.undo.undoRequest = true; }, [](Editor& e) { e.undo.undoRequest = false; }},
        {"a redo", [](Editor& e) { e.undo.redoRequest = true; }, [](Editor& e) { e.undo.redoRequest = false; }},
        {"an undo to carry out", [](Editor& e) { e.undo.doUndo = true; }, [](Editor& e) { e.undo.doUndo = false; }},
        {"a redo to carry out", [](Editor& e) { e.undo.doRedo = true; }, [](Editor& e) { e.undo.doRedo = false; }},
    };
    for (const auto& c : kCases) {
        EditorRig rig;
        FramesUntilRest(rig);
        c.begin(*rig.editor);
        EXPECT_TRUE(Due(rig)) << c.what;
        c.end(*rig.editor);
        EXPECT_FALSE(Due(rig)) << c.what;
    }
    // The frames that carry the work out rest afterwards: a screenshot's at once, a menu undo's after the frame
    // that builds the undone scene's mesh.
    EditorRig rig;
    rig.Frame();
    ApplyTool(*rig.editor, 0, kSidePlusY);
    FramesUntilRest(rig);
    rig.editor->screenshotRequest = true;
    EXPECT_EQ(FramesUntilRest(rig), 1);
    EXPECT_EQ(rig.platform.screenshots.size(), 1u);
    rig.editor->undo.undoRequest = true;
    EXPECT_EQ(FramesUntilRest(rig), 2);
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 1);
    EXPECT_EQ(rig.editor->mesh.colouredTriangles[0], 12);  // the one cube's six faces
}

TEST(FrameWake, TheFirstFrameAfterARestMeasuresItsTimeFromItself) {
    EditorRig rig;
    FramesUntilRest(rig);
    rig.platform.clock += 5000;  // five seconds of rest
    rig.Hold(kKeyLeft);
    const float yaw = rig.editor->camera.yaw;
    rig.Frame(16);
    EXPECT_EQ(rig.editor->frame.frameTime, 0.0f);
    EXPECT_EQ(rig.editor->camera.yaw, yaw);
    rig.Frame(16);
    EXPECT_FLOAT_EQ(rig.editor->frame.frameTime, 0.016f);
    EXPECT_NE(rig.editor->camera.yaw, yaw);
    // A click after a rest adds its cube in the first frame: the view's centre shows the start cube.
    rig.Release(kKeyLeft);
    rig.editor->camera = Camera{};
    rig.flags.cursorX = 400;
    rig.flags.cursorY = 300;
    FramesUntilRest(rig);
    rig.platform.clock += 5000;
    rig.Hold(kKeyLeftButton);
    rig.Release(kKeyLeftButton);
    rig.Frame(16);
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 2);
    // Frames that follow each other are measured as before, however long the wake's frames took.
    rig.Release(kKeyLeft);
    WakeFrames(rig.editor->frame);
    rig.Frame(40);
    EXPECT_FLOAT_EQ(rig.editor->frame.frameTime, 0.040f);
}
