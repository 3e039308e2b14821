// The four tools a click applies to the picked face (Add, Delete, Paint and PickColour), on the cell clicked and its
// mirror images, and a box stroke's edits, each one undo step.
#include "editor/editing/tools.h"

#include <algorithm>

#include "editor/editor.h"
#include "editor/panels/paint_window.h"

namespace {

constexpr int kAddsRecordedTogether = 256;

}  // namespace

bool ClipToAddRange(CellBox& box) {
    box.low = {std::max(box.low.x, kLowestNewCoordinate), std::max(box.low.y, kLowestNewCoordinate),
               std::max(box.low.z, kLowestNewCoordinate)};
    box.high = {std::min(box.high.x, kHighestNewCoordinate), std::min(box.high.y, kHighestNewCoordinate),
                std::min(box.high.z, kHighestNewCoordinate)};
    return box.low.x <= box.high.x && box.low.y <= box.high.y && box.low.z <= box.high.z;
}

int32_t NewSlot(Scene& scene, int32_t& searchFrom) {
    return NewSlotAbove(scene, scene.highestUsedSlot, searchFrom);
}

CubeLook CurrentLook(const Editor& editor) {
    if (editor.textureMode)
        return {1, kWhite, editor.textureColumn, editor.textureRow};
    return {0, editor.currentColour, 0, 0};
}

CubeLook LookOf(const CubeRecord& cube) {
    return {cube.textured, cube.colour, cube.cellColumn, cube.cellRow};
}

namespace {

// A new cube in a free slot at a free cell, with the current colour or texture cell, recorded for undo.
void PlaceNewCube(Editor& editor, int32_t slot, const Cell& cell) {
    WriteNewCube(editor.scene, slot, cell, CurrentLook(editor));
    NoteCellSlot(editor.scene, editor.cellSlots, cell, slot);
    ++editor.scene.liveCubeCount;
    RecordAdd(editor.undo, slot);
}

// A click's adds: the clicked cell and its mirror images, each where it lies in the add range and is free. The
// limit warning follows the click as a whole: it stays when no cell was in range (a lone click beyond the range
// included) or when the full array refused a cube; a click that added anything else clears it. Passing the range
// marks the scene modified even where the cell is taken.
void AddCells(Editor& editor, const Cell* cells, int count) {
    Scene& scene = editor.scene;
    bool inRange = false;
    bool full = false;
    int32_t searchFrom = 0;
    for (int i = 0; i < count; ++i) {
        const Cell& cell = cells[i];
        if (!InAddRange(cell))
            continue;
        inRange = true;
        editor.modified = true;
        if (scene.grid[Scene::GridIndex(cell.x, cell.y, cell.z)] != 0)
            continue;
        const int32_t slot = NewSlot(scene, searchFrom);
        if (slot < 0) {
            full = true;
            break;
        }
        PlaceNewCube(editor, slot, cell);
    }
    editor.cannotCreate = full || !inRange;
}

}  // namespace

void PaintCube(Editor& editor, int32_t slot, const CubeLook& look) {
    CubeRecord& cube = editor.scene.cubes[slot];
    UndoEntry entry = EntryFor(slot, cube);
    if (look.textured == 0) {
        if (cube.colour == look.colour && cube.textured == 0)
            return;
        cube.colour = look.colour;
        cube.textured = 0;
    } else {
        if (cube.cellColumn == look.cellColumn && cube.cellRow == look.cellRow && cube.textured == 1)
            return;
        cube.colour = kWhite;
        cube.cellColumn = look.cellColumn;
        cube.cellRow = look.cellRow;
        cube.textured = 1;
    }
    editor.modified = true;
    entry.colourAfter = cube.colour;
    entry.texturedAfter = cube.textured;
    entry.cellColumnAfter = cube.cellColumn;
    entry.cellRowAfter = cube.cellRow;
    RecordEdit(editor.undo, kUndoPaint, entry);
}

namespace {

void Delete(Editor& editor, int32_t slot) {
    Scene& scene = editor.scene;
    if (scene.liveCubeCount < 2)
        return;
    CubeRecord& cube = scene.cubes[slot];
    RecordEdit(editor.undo, kUndoDelete, EntryFor(slot, cube));
    --scene.liveCubeCount;
    cube.inUse = 0;
    editor.modified = true;
    const Cell cell = CellOf(cube);
    scene.grid[Scene::GridIndex(cell.x, cell.y, cell.z)] = 0;
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

bool InAnyBox(const Cell& cell, const CellBox* boxes, int count) {
    for (int i = 0; i < count; ++i) {
        if (boxes[i].Contains(cell))
            return true;
    }
    return false;
}

// Calls visit(x, y, row) for each row of a box along z, the grid's own order; row points at the grid bytes of
// (x, y, 0) onwards.
template <typename Visit>
void ForEachRow(const Scene& scene, const CellBox& box, Visit visit) {
    for (int32_t x = box.low.x; x <= box.high.x; ++x) {
        for (int32_t y = box.low.y; y <= box.high.y; ++y)
            visit(x, y, scene.grid + Scene::GridIndex(x, y, 0));
    }
}

// The free cells of the boxes, a cell that several boxes share counted once.
int32_t FreeCellsIn(const Scene& scene, const CellBox* boxes, int count) {
    int32_t freeCells = 0;
    for (int i = 0; i < count; ++i) {
        const CellBox& box = boxes[i];
        ForEachRow(scene, box, [&](int32_t x, int32_t y, const uint8_t* row) {
            if (i == 0) {
                for (int32_t z = box.low.z; z <= box.high.z; ++z)
                    freeCells += row[z] == 0 ? 1 : 0;
                return;
            }
            for (int32_t z = box.low.z; z <= box.high.z; ++z)
                freeCells += row[z] == 0 && !InAnyBox({x, y, z}, boxes, i) ? 1 : 0;
        });
    }
    return freeCells;
}

// A box of adds fills the free cells of the boxes within 1..198, all of them or, when the scene would then hold
// more than kMaxCubes, none.
void AddBoxes(Editor& editor, const CellBox* mirrored, int mirroredCount) {
    Scene& scene = editor.scene;
    CellBox boxes[kMaxMirrorImages];
    int count = 0;
    for (int i = 0; i < mirroredCount; ++i) {
        CellBox box = mirrored[i];
        if (!ClipToAddRange(box))
            continue;
        // A box holds at least its volume less the cubes there are: one larger than the array is refused unseen.
        if (box.Volume() > kMaxCubes) {
            editor.cannotCreate = true;
            return;
        }
        boxes[count++] = box;
    }
    // The boxes lie in the add range now: a cell is free for an add when its grid byte is 0.
    const int32_t freeCells = FreeCellsIn(scene, boxes, count);
    if (scene.liveCubeCount + freeCells > kMaxCubes) {
        editor.cannotCreate = true;
        return;
    }
    editor.cannotCreate = false;
    if (freeCells == 0)
        return;
    editor.modified = true;
    BeginAction(editor.undo);
    const CubeLook look = CurrentLook(editor);
    int32_t searchFrom = 0;
    // The new cubes' slots go to the history a few hundred at a time, which keeps its bookkeeping out of the loop.
    int32_t added[kAddsRecordedTogether];
    int32_t pending = 0;
    // Box by box, in the grid's order; a cell an earlier box filled is no longer free when a later one comes to it.
    for (int i = 0; i < count; ++i) {
        const CellBox& box = boxes[i];
        ForEachRow(scene, box, [&](int32_t x, int32_t y, const uint8_t* row) {
            for (int32_t z = box.low.z; z <= box.high.z; ++z) {
                if (row[z] != 0)
                    continue;
                const int32_t slot = NewSlot(scene, searchFrom);
                WriteNewCube(scene, slot, {x, y, z}, look);
                added[pending++] = slot;
                if (pending == kAddsRecordedTogether) {
                    RecordAdds(editor.undo, added, pending);
                    pending = 0;
                }
            }
        });
    }
    RecordAdds(editor.undo, added, pending);
    scene.liveCubeCount += freeCells;
    EndAction(editor.undo);
}

}  // namespace

Cell NeighbourCell(const Cell& cell, int side) {
    return Cell{cell.x + kSideOffset[side][0], cell.y + kSideOffset[side][1], cell.z + kSideOffset[side][2]};
}

Cell ToolCell(const Editor& editor, int32_t slot, int side) {
    const Cell cube = CellOf(editor.scene.cubes[slot]);
    return editor.tool == EditTool::Add ? NeighbourCell(cube, side) : cube;
}

void ApplyTool(Editor& editor, int32_t slot, int side) {
    if (editor.tool == EditTool::PickColour) {
        PickColour(editor, slot);
        return;
    }
    // The cells the mirror planes make of the one clicked, each once; they are found before the click changes
    // anything, so that the images of a delete or a paint are the cubes that were there.
    Cell images[kMaxMirrorImages];
    const int count = MirrorImages(editor.mirror, ToolCell(editor, slot, side), images);
    // The clicked cube's slot is known; only its images are looked up.
    int32_t imageSlots[kMaxMirrorImages] = {slot};
    if (editor.tool != EditTool::Add && count > 1)
        FindSlots(editor.scene, editor.cellSlots, images + 1, count - 1, imageSlots + 1);
    BeginAction(editor.undo);
    if (editor.tool == EditTool::Add) {
        AddCells(editor, images, count);
    } else {
        for (int i = 0; i < count; ++i) {
            if (imageSlots[i] < 0)
                continue;
            if (editor.tool == EditTool::Delete)
                Delete(editor, imageSlots[i]);
            else
                PaintCube(editor, imageSlots[i], CurrentLook(editor));
        }
    }
    EndAction(editor.undo);
}

void ApplyBox(Editor& editor, const CellBox& box) {
    if (editor.tool == EditTool::PickColour)
        return;
    CellBox boxes[kMaxMirrorImages];
    const int count = MirrorBoxes(editor.mirror, box, boxes);
    if (editor.tool == EditTool::Add) {
        AddBoxes(editor, boxes, count);
        return;
    }
    EditCubesIn(editor, boxes, count, editor.tool);
}

void EditCubesIn(Editor& editor, const CellBox* boxes, int count, EditTool tool) {
    Scene& scene = editor.scene;
    const CubeLook look = CurrentLook(editor);
    BeginAction(editor.undo);
    // In slot order: when every cube is in the boxes, the one in the highest slot is the one that stays.
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        if (scene.cubes[slot].inUse == 0 || !InAnyBox(CellOf(scene.cubes[slot]), boxes, count))
            continue;
        if (tool == EditTool::Delete)
            Delete(editor, slot);
        else
            PaintCube(editor, slot, look);
    }
    EndAction(editor.undo);
}
