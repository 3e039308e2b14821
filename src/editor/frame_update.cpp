#include "editor/frame_update.h"

#include "editor/editing/tools.h"
#include "editor/editor_commands.h"
#include "editor/view/draw_frame.h"
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

// The face under the cursor, wherever it is in the view.
PickState PickAt(const Editor& editor, int32_t x, int32_t y) {
    return Pick(editor.scene, MakePickRay(x, y, editor.view));
}

bool BoxTool(EditTool tool) {
    return tool == EditTool::Add || tool == EditTool::Delete || tool == EditTool::Paint;
}

// A Shift drag: the end follows the cube under the cursor; letting go applies the box, Esc or the right button
// drops it.
void BoxStrokeStep(Editor& editor, const ShellFlags& flags, FrameInput& input) {
    BoxStroke& box = editor.box;
    if (!box.active)
        return;
    if (!editor.frame.leftDown) {
        box.active = false;
        ApplyBox(editor, BoxBetween(box.from, box.to));
    } else if (input.KeyDown(kKeyEscape) || input.KeyDown(kKeyRightButton)) {
        box.active = false;
    } else {
        const PickState hit = PickAt(editor, flags.cursorX, flags.cursorY);
        if (hit.held)
            box.to = ToolCell(editor, hit.slot, hit.side);
    }
}

// A Ctrl drag: the end follows the cube under the cursor; letting go makes the box between the two cubes the
// selection, Esc or the right button drops the drag.
void SelectStrokeStep(Editor& editor, const ShellFlags& flags, FrameInput& input) {
    SelectStroke& stroke = editor.selectStroke;
    if (!stroke.active)
        return;
    if (!editor.frame.leftDown) {
        stroke.active = false;
        editor.selection = {true, BoxBetween(stroke.from, stroke.to)};
    } else if (input.KeyDown(kKeyEscape) || input.KeyDown(kKeyRightButton)) {
        stroke.active = false;
    } else {
        const PickState hit = PickAt(editor, flags.cursorX, flags.cursorY);
        if (hit.held)
            stroke.to = CellOf(editor.scene.cubes[hit.slot]);
    }
}

// The outlines of the selection and of a Ctrl drag in progress.
void MakeSelectionLines(Editor& editor) {
    CellBox boxes[2];
    int count = 0;
    if (editor.selection.active)
        boxes[count++] = editor.selection.box;
    if (editor.selectStroke.active)
        boxes[count++] = BoxBetween(editor.selectStroke.from, editor.selectStroke.to);
    MakeBoxLines(boxes, count, editor.selectionLines);
}

// M moves the mirror planes' centre to the cube under the cursor, N lays the plane of the face pointed at on that
// face, Home frames the model: each once for every press the view received.
void ViewKeysStep(Editor& editor, const ShellFlags& flags, FrameInput& input) {
    constexpr struct {
        int key;
        EditorCommand command;
    } kViewKeys[] = {
        {kKeyM, EditorCommand::MirrorCentre},
        {kKeyN, EditorCommand::MirrorFace},
        {kKeyHome, EditorCommand::FrameModel},
    };
    for (const auto& viewKey : kViewKeys) {
        if (input.KeyPressedInView(viewKey.key))
            RunEditorCommand(editor, viewKey.command, flags.cursorX, flags.cursorY);
    }
}

}  // namespace

bool PanelTakesClick(const Editor& editor, int32_t cursorX, int32_t cursorY) {
    return cursorY < 0 || editor.paintWindow.Contains(cursorX, cursorY) ||
           editor.statusWindow.ClickHits(cursorX, cursorY);
}

void RunFrameUpdate(Editor& editor, ShellFlags& flags, Platform& platform) {
    FrameInput input{platform, flags};
    FrameState& frame = editor.frame;
    UndoHistory& undo = editor.undo;

    MeasureFrameTime(frame, platform);
    // Shift with a selection makes the arrows move it (the program's shortcuts), not turn the camera.
    CameraInputStep(editor.camera, input, frame.frameTime, editor.selection.active && input.KeyDown(kKeyShift));
    editor.ResetScene();
    FrameOpenedModel(editor);

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
        frame.clickConsumedByPanel = PanelTakesClick(editor, flags.cursorX, flags.cursorY);
        if (frame.clickConsumedByPanel && editor.paintWindow.shown)
            PaintWindowPress(editor, flags.cursorX, flags.cursorY);
    }

    const ClientRect client = platform.MainClientRect();
    if (!frame.leftDown) {
        PaintWindowRelease(editor);
        if (!undo.busy) {
            undo.undoLatch = false;
            undo.redoLatch = false;
            undo.doUndo = false;
            undo.doRedo = false;
        }
    } else {
        PaintWindowHold(editor, flags.cursorX, flags.cursorY, client.right, client.bottom);
    }

    // Only a click that no panel took can keep a candidate, so no other frame needs the pick at all.
    editor.pick = PickState{};
    if (click && !frame.clickConsumedByPanel)
        editor.pick = PickAt(editor, flags.cursorX, flags.cursorY);
    frame.leftDownBefore = frame.leftDown;
    if (flags.cursorX >= 0 && flags.cursorX < client.right && flags.cursorY < client.bottom &&
        !PanelTakesClick(editor, flags.cursorX, flags.cursorY)) {
        editor.viewCursorKnown = true;
        editor.viewCursorX = flags.cursorX;
        editor.viewCursorY = flags.cursorY;
    }

    if (editor.ignoreNextClick) {
        // A load just happened: this frame's click and Ctrl+Z/Y are ignored, and a box being drawn is dropped.
        editor.pick.held = false;
        editor.box.active = false;
        editor.selectStroke.active = false;
        editor.ignoreNextClick = false;
    } else if (editor.pick.held && frame.ctrlDown) {
        // Ctrl at the press starts choosing cubes, whatever the tool: the cube's own cell, not the one beside it.
        const Cell cube = CellOf(editor.scene.cubes[editor.pick.slot]);
        editor.selectStroke = {true, cube, cube};
        editor.pick.held = false;
    } else if (editor.pick.held && input.KeyDown(kKeyShift) && BoxTool(editor.tool)) {
        // Shift at the press starts a box instead of a click.
        editor.box.active = true;
        editor.box.from = editor.box.to = ToolCell(editor, editor.pick.slot, editor.pick.side);
        editor.pick.held = false;
    } else if (editor.pick.held) {
        ApplyTool(editor, editor.pick.slot, editor.pick.side);
        editor.pick.held = false;
    } else {
        BoxStrokeStep(editor, flags, input);
        SelectStrokeStep(editor, flags, input);
    }
    ViewKeysStep(editor, flags, input);

    UpdateFaceExposureAndBuildMesh(editor.scene, editor.mesh);
    PaintWindowButtons(editor, flags.cursorX, flags.cursorY, frame.frameTime, platform);
    // An undo or redo carried out after the mesh was built shows in the next frame, which has to come.
    const bool undoing = undo.doUndo || undo.doRedo;
    UndoApplyStep(editor);
    const CellBox box = BoxBetween(editor.box.from, editor.box.to);
    MakeGuideLines(editor.mirror, editor.mesh.extent, editor.box.active ? &box : nullptr, editor.guides);
    MakeSelectionLines(editor);
    RecordView(editor);
    platform.DrawFrame();

    if (editor.screenshotRequest) {
        platform.SaveScreenshot(editor.screenshotPath);
        editor.screenshotRequest = false;
    }
    platform.ForgetKeyPresses();
    if (frame.framesToRun > 0)
        --frame.framesToRun;
    if (undoing && frame.framesToRun == 0)
        frame.framesToRun = 1;
}

void WakeFrames(FrameState& frame) {
    frame.framesToRun = kFramesAfterWake;
}

bool FrameDue(Editor& editor, FrameInput& input) {
    // The keys and buttons that a frame reads for as long as they are held.
    constexpr int kHeldKeys[] = {kKeyLeftButton, kKeyRightButton, kKeyMiddleButton,
                                 kKeyLeft,       kKeyUp,          kKeyRight,
                                 kKeyDown,       kKeyA,           kKeyD,
                                 kKeyF,          kKeyG,           kKeyS,
                                 kKeyW};
    FrameState& frame = editor.frame;
    const UndoHistory& undo = editor.undo;
    bool due = frame.framesToRun > 0 || editor.box.active || editor.selectStroke.active ||
               editor.paintWindow.dragging || editor.paintWindow.pressedButton != kButtonNone || undo.undoRequest ||
               undo.redoRequest || undo.doUndo || undo.doRedo || editor.frameOpenedModel || editor.ignoreNextClick ||
               editor.screenshotRequest;
    for (const int key : kHeldKeys)
        due = due || input.KeyDown(key);
    if (!due)
        frame.clockStarted = false;
    return due;
}
