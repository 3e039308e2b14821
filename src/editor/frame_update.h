// The frame update: one call per idle pass measures the frame time, polls the keys and buttons,
// moves the camera, takes panel presses and edits, refreshes the derived cube data and draws.
#pragma once

#include "editor/editor.h"
#include "editor/platform.h"

constexpr int kUndoCommand = 40012;
constexpr int kRedoCommand = 40013;

void RunFrameUpdate(Editor& editor, ShellFlags& flags, Platform& platform);

// Whether a click at a client point belongs to a panel (the paint panel, the status strip, or above the view);
// both rectangles count even while hidden.
bool PanelTakesClick(const Editor& editor, int32_t cursorX, int32_t cursorY);

// Something happened that can change the picture or the editing: a message or an input event, a command, a resize,
// the focus coming or going. The shells call it for every event they take; the frames it asks for follow at once.
void WakeFrames(FrameState& frame);

// Whether the next pass runs a frame, or the program may wait for the next event. A frame is due after a wake; while
// a key or button that frames read is held or was pressed since the last frame (the camera's keys, the buttons of a
// drag, a box or a held step button); while a box, a Ctrl drag or the panel's drag is in progress; and while a frame
// has work waiting (an undo or redo asked for, an opened model to frame, a load's click to ignore, a screenshot).
// When none is due the clock is let go: the first frame after the wait measures its time from itself, so that a key
// held from then on does not move the camera by the whole rest at once.
bool FrameDue(Editor& editor, FrameInput& input);
