// The editing tools a click in the view applies to the picked cube face.
#pragma once

#include <cstdint>

struct Editor;

// Applies the current tool to the cube in slot, through its side (Add places the new cube beyond it). Every
// change is recorded for undo; a refused Add raises the cannot-create flag.
void ApplyTool(Editor& editor, int32_t slot, int side);
