#include "editor/frame_update.h"

#include "editor/draw_frame.h"
#include "editor/tools.h"
#include "render/cube_mesh.h"

namespace {

constexpr float kSecondsPerMillisecond = 0.001f;

void MeasureFrameTime(FrameState& frame, Platform& platform) {
    const uint32_t clock = platform.Milliseconds();
    if (!frame.clockStarted) {
        frame.previousClock = clock;
        frame.clockStarted = true;
    }
    // Unsigned arithmetic: a wrap of the millisecond counter still gives a small difference.
    frame.frameTime = static_cast<float>(clock - frame.previousClock) * kSecondsPerMillisecond;
    frame.previousClock = clock;
}

// Whether a click at the cursor belongs to a panel; both rectangles count even while hidden.
bool PanelTakesClick(const Editor& editor, const ShellFlags& flags) {
    return flags.cursorY < 0 || editor.paintWindow.Contains(flags.cursorX, flags.cursorY) ||
           editor.statusWindow.ClickHits(flags.cursorX, flags.cursorY);
}

}  // namespace

void RunFrameUpdate(Editor& editor, ShellFlags& flags, Platform& platform) {
    FrameInput input{platform, flags};
    FrameState& frame = editor.frame;
    UndoHistory& undo = editor.undo;

    MeasureFrameTime(frame, platform);
    CameraInputStep(editor.camera, input, frame.frameTime);
    editor.ResetScene();

    platform.SetMenuItemEnabled(kUndoCommand, undo.undoAvailable);
    platform.SetMenuItemEnabled(kRedoCommand, undo.redoAvailable);

    frame.ctrlDown = input.KeyDown(kKeyControl);
    frame.zDown = input.KeyDown(kKeyZ);
    frame.yDown = input.KeyDown(kKeyY);
    UndoTriggerStep(undo, frame.ctrlDown, frame.zDown, frame.yDown, frame.zDownBefore, frame.yDownBefore,
                    editor.ignoreNextClick);
    frame.zDownBefore = frame.zDown;
    frame.yDownBefore = frame.yDown;

    // A button pressed outside the client area does not count until it has been let go once; nor does a click
    // already over that began while the latch stood, such as the one that brings the window back from behind another.
    frame.leftDown = input.KeyDown(kKeyLeftButton) && !flags.ignoreLeftLatch;
    if (!input.KeyHeld(kKeyLeftButton))
        flags.ignoreLeftLatch = false;

    const bool click = frame.leftDown && !frame.leftDownBefore && !editor.camera.orbitActive &&
                       !editor.camera.panActive && !editor.ignoreNextClick;
    if (click) {
        frame.clickConsumedByPanel = PanelTakesClick(editor, flags);
        if (frame.clickConsumedByPanel && editor.paintWindow.shown)
            PaintWindowPress(editor, flags.cursorX, flags.cursorY);
    }

    if (!frame.leftDown) {
        PaintWindowRelease(editor);
        if (!undo.busy) {
            undo.undoLatch = false;
            undo.redoLatch = false;
            undo.doUndo = false;
            undo.doRedo = false;
        }
    } else {
        const ClientRect client = platform.MainClientRect();
        PaintWindowHold(editor, flags.cursorX, flags.cursorY, client.right, client.bottom);
    }

    // Only a click that no panel took can keep a candidate, so no other frame needs the pick at all.
    editor.pick = PickState{};
    if (click && !frame.clickConsumedByPanel)
        editor.pick = Pick(editor.scene, MakePickRay(flags.cursorX, flags.cursorY, editor.view));
    frame.leftDownBefore = frame.leftDown;

    if (editor.ignoreNextClick) {
        // A load just happened: this frame's click and Ctrl+Z/Y are ignored.
        editor.pick.held = false;
        editor.ignoreNextClick = false;
    } else if (editor.pick.held) {
        ApplyTool(editor, editor.pick.slot, editor.pick.side);
        editor.pick.held = false;
    }

    UpdateFaceExposureAndBuildMesh(editor.scene, editor.mesh);
    PaintWindowButtons(editor, flags.cursorX, flags.cursorY, frame.frameTime, platform);
    UndoApplyStep(editor);
    RecordView(editor);
    platform.DrawFrame();

    if (editor.screenshotRequest) {
        platform.SaveScreenshot(editor.screenshotPath);
        editor.screenshotRequest = false;
    }
    platform.ForgetKeyPresses();
}
