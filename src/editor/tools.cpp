// The four tools a click applies to the picked face: Add, Delete, Paint and PickColour.
#include "editor/tools.h"

#include "editor/editor.h"
#include "editor/paint_window.h"

namespace {

constexpr int kLowestNewCoordinate = 1;
constexpr int kHighestNewCoordinate = 198;

// Whether the cell beside the given side of a cube stays within 1..198 on the axis it moves along.
bool NewCellInRange(const CubeRecord& cube, int side) {
    switch (side) {
        case kSideMinusX:
            return !(cube.x - 1 < kLowestNewCoordinate);
        case kSideMinusY:
            return !(cube.y - 1 < kLowestNewCoordinate);
        case kSideMinusZ:
            return !(cube.z - 1 < kLowestNewCoordinate);
        case kSidePlusX:
            return !(cube.x + 1 > kHighestNewCoordinate);
        case kSidePlusY:
            return !(cube.y + 1 > kHighestNewCoordinate);
        default:
            return !(cube.z + 1 > kHighestNewCoordinate);
    }
}

// The slot for a new cube: the next one while the array has not been filled up to its end, afterwards the
// lowest free slot; -1 when every slot is in use.
int32_t NewSlot(Scene& scene) {
    if (scene.highestUsedSlot < kMaxCubes - 1)
        return ++scene.highestUsedSlot;
    for (int32_t slot = 0; slot < kMaxCubes; ++slot) {
        if (scene.cubes[slot].inUse == 0)
            return slot;
    }
    return -1;
}

UndoEntry EntryFor(int32_t slot, const CubeRecord& cube) {
    UndoEntry entry{};
    entry.slot = slot;
    entry.x = cube.x;
    entry.y = cube.y;
    entry.z = cube.z;
    entry.colourBefore = cube.colour;
    entry.cellColumnBefore = cube.cellColumn;
    entry.cellRowBefore = cube.cellRow;
    entry.texturedBefore = cube.textured;
    return entry;
}

void Add(Editor& editor, int32_t hitSlot, int side) {
    Scene& scene = editor.scene;
    const CubeRecord hit = scene.cubes[hitSlot];
    if (!NewCellInRange(hit, side)) {
        editor.cannotCreate = true;
        return;
    }
    editor.cannotCreate = false;
    editor.modified = true;
    const float x = hit.x + static_cast<float>(kSideOffset[side][0]);
    const float y = hit.y + static_cast<float>(kSideOffset[side][1]);
    const float z = hit.z + static_cast<float>(kSideOffset[side][2]);
    const int cell = Scene::GridIndex(static_cast<int>(x), static_cast<int>(y), static_cast<int>(z));
    if (scene.grid[cell] != 0)
        return;
    const int32_t slot = NewSlot(scene);
    if (slot < 0) {
        editor.cannotCreate = true;
        return;
    }
    ++scene.liveCubeCount;
    CubeRecord& cube = scene.cubes[slot];
    cube.x = x;
    cube.y = y;
    cube.z = z;
    cube.inUse = 1;
    cube.textured = editor.textureMode ? 1 : 0;
    if (editor.textureMode) {
        cube.colour = kWhite;
        cube.cellColumn = editor.textureColumn;
        cube.cellRow = editor.textureRow;
    } else {
        cube.colour = editor.currentColour;
    }
    scene.grid[cell] = 1;
    RecordEdit(editor.undo, kUndoAdd, EntryFor(slot, cube));
}

void Delete(Editor& editor, int32_t slot) {
    Scene& scene = editor.scene;
    if (scene.liveCubeCount < 2)
        return;
    CubeRecord& cube = scene.cubes[slot];
    RecordEdit(editor.undo, kUndoDelete, EntryFor(slot, cube));
    --scene.liveCubeCount;
    cube.inUse = 0;
    editor.modified = true;
    scene.grid[Scene::GridIndex(static_cast<int>(cube.x), static_cast<int>(cube.y), static_cast<int>(cube.z))] = 0;
}

void Paint(Editor& editor, int32_t slot) {
    CubeRecord& cube = editor.scene.cubes[slot];
    UndoEntry entry = EntryFor(slot, cube);
    if (!editor.textureMode) {
        if (cube.colour == editor.currentColour && cube.textured == 0)
            return;
        cube.colour = editor.currentColour;
        cube.textured = 0;
    } else {
        if (cube.cellColumn == editor.textureColumn && cube.cellRow == editor.textureRow && cube.textured == 1)
            return;
        cube.colour = kWhite;
        cube.cellColumn = editor.textureColumn;
        cube.cellRow = editor.textureRow;
        cube.textured = 1;
    }
    editor.modified = true;
    entry.colourAfter = cube.colour;
    entry.texturedAfter = cube.textured;
    entry.cellColumnAfter = cube.cellColumn;
    entry.cellRowAfter = cube.cellRow;
    RecordEdit(editor.undo, kUndoPaint, entry);
}

void PickColour(Editor& editor, int32_t slot) {
    const CubeRecord& cube = editor.scene.cubes[slot];
    if (editor.textureMode || cube.textured != 0)
        return;
    // The selected palette cell takes the colour too, and the panel shows it.
    editor.palette[editor.paletteIndex] = cube.colour;
    RefreshCellColours(editor);
    TakeSelectedPaletteColour(editor);
}

}  // namespace

void ApplyTool(Editor& editor, int32_t slot, int side) {
    switch (editor.tool) {
        case EditTool::Add:
            Add(editor, slot, side);
            break;
        case EditTool::Delete:
            Delete(editor, slot);
            break;
        case EditTool::Paint:
            Paint(editor, slot);
            break;
        case EditTool::PickColour:
            PickColour(editor, slot);
            break;
    }
}
