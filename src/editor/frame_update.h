// The frame update: one call per idle pass measures the frame time, polls the keys and buttons,
// moves the camera, takes panel presses and edits, refreshes the derived cube data and draws.
#pragma once

#include "editor/editor.h"
#include "editor/platform.h"

constexpr int kUndoCommand = 40012;
constexpr int kRedoCommand = 40013;

void RunFrameUpdate(Editor& editor, ShellFlags& flags, Platform& platform);
