// The editing tools a click in the view applies to the picked cube face, and the box a Shift drag spans, each on
// the cells the mirror planes make of it too.
#pragma once

#include <cstdint>

#include "editor/editing/mirror.h"

struct Editor;

// The cell beside a cell on a side.
Cell NeighbourCell(const Cell& cell, int side);
// The cell the current tool acts on through a cube's side: the free cell beyond it for Add, else the cube's own.
Cell ToolCell(const Editor& editor, int32_t slot, int side);
// Applies the current tool to the cube in slot, through its side (Add places the new cube beyond it), and to the
// mirror images of that cell: an image outside the grid or where the tool cannot act is skipped. Every change is
// recorded for undo as one step; a refused Add raises the cannot-create flag. Pick colour is never mirrored.
void ApplyTool(Editor& editor, int32_t slot, int side);
// A box stroke let go: Add fills the free cells of the box and its images (within 1..198), all or, when the scene
// would then hold more than kMaxCubes, none, raising the cannot-create flag; Delete and Paint act on every cube in
// them (the last cube is never deleted). One undo step.
void ApplyBox(Editor& editor, const CellBox& box);
