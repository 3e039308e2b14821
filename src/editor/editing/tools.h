// The editing tools a click in the view applies to the picked cube face, and the box a Shift drag spans, each on
// the cells the mirror planes make of it too.
#pragma once

#include <cstdint>

#include "editor/editing/mirror.h"

struct Editor;
enum class EditTool : int32_t;

// How a cube looks: a colour, or white with an atlas cell (a coloured cube keeps the cell its slot had).
struct CubeLook {
    uint8_t textured;
    uint32_t colour;
    int32_t cellColumn;
    int32_t cellRow;
};
// The current colour, or white with the current texture cell, as Add and Paint give it.
CubeLook CurrentLook(const Editor& editor);
CubeLook LookOf(const CubeRecord& cube);

// The one rule of where a new cube may go, for a click, its mirror images, a box, a paste and a move alike: within
// 1..198 on every axis, off the grid's outer layer.
constexpr int32_t kLowestNewCoordinate = 1;
constexpr int32_t kHighestNewCoordinate = 198;
inline bool InAddRange(const Cell& cell) {
    const auto inRange = [](int32_t c) { return c >= kLowestNewCoordinate && c <= kHighestNewCoordinate; };
    return inRange(cell.x) && inRange(cell.y) && inRange(cell.z);
}
// The cells of a box in the add range; false when none is.
bool ClipToAddRange(CellBox& box);
// The slot for a new cube, which the caller fills: the next one while the array has not been filled up to its end,
// afterwards the lowest free slot; -1 when every slot is in use. The adds of one action share searchFrom, starting
// at 0: the slots below it are in use (an add frees none), so the action's searches take one pass between them.
int32_t NewSlot(Scene& scene, int32_t& searchFrom);
// The same rule on a highest slot held apart from the scene, for a pass that adds thousands of cubes and sets the
// scene's highest slot after it.
inline int32_t NewSlotAbove(const Scene& scene, int32_t& highest, int32_t& searchFrom) {
    if (highest < kMaxCubes - 1)
        return ++highest;
    for (; searchFrom < kMaxCubes; ++searchFrom) {
        if (scene.cubes[searchFrom].inUse == 0)
            return searchFrom++;
    }
    return -1;
}
// A new cube's record and grid byte, in a free slot at a free cell; the caller counts it and records it for undo.
inline void WriteNewCube(Scene& scene, int32_t slot, const Cell& cell, const CubeLook& look) {
    CubeRecord& cube = scene.cubes[slot];
    cube.x = static_cast<float>(cell.x);
    cube.y = static_cast<float>(cell.y);
    cube.z = static_cast<float>(cell.z);
    cube.inUse = 1;
    cube.textured = look.textured;
    cube.colour = look.colour;
    if (look.textured != 0) {
        cube.cellColumn = look.cellColumn;
        cube.cellRow = look.cellRow;
    }
    scene.grid[Scene::GridIndex(cell.x, cell.y, cell.z)] = 1;
}
// Gives the cube in slot a look, recorded for undo as a paint; nothing when it looks so already.
void PaintCube(Editor& editor, int32_t slot, const CubeLook& look);
// Deletes (the last cube of the scene never) or paints with the current look every cube in the boxes, in slot
// order, as one undo step: when every cube is in them, the one in the highest slot stays.
void EditCubesIn(Editor& editor, const CellBox* boxes, int count, EditTool tool);

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
