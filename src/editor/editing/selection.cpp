#include "editor/editing/selection.h"

#include <algorithm>
#include <cmath>

#include "editor/editing/tools.h"
#include "editor/editor.h"
#include "editor/platform.h"
#include "files/object_file.h"

namespace {

// Where the block of a paste goes when no cube is pointed at and this program has copied nothing: the start cube.
constexpr int32_t kStartCell = static_cast<int32_t>(kStartCubeCoordinate);

int32_t& Coordinate(Cell& cell, int axis) {
    return axis == 0 ? cell.x : axis == 1 ? cell.y : cell.z;
}

int32_t CoordinateOf(const Cell& cell, int axis) {
    return axis == 0 ? cell.x : axis == 1 ? cell.y : cell.z;
}

// n / 2 rounded down, for negative n too.
int32_t FloorHalf(int32_t n) {
    return n >= 0 ? n / 2 : -((1 - n) / 2);
}

// A map of cells that moves, mirrors or turns them: each output axis takes one input axis, maybe negated, plus an
// offset. It maps the selection box onto a box of the same cells' images.
struct CellMap {
    int from[3] = {0, 1, 2};
    int32_t sign[3] = {1, 1, 1};
    int32_t offset[3] = {0, 0, 0};

    Cell operator()(const Cell& cell) const {
        Cell out{};
        for (int axis = 0; axis < 3; ++axis)
            Coordinate(out, axis) = sign[axis] * CoordinateOf(cell, from[axis]) + offset[axis];
        return out;
    }
};

bool Holds(const Editor& editor, const CubeRecord& cube) {
    return cube.inUse != 0 && editor.selection.box.Contains(CellOf(cube));
}

// Takes a cube out of the scene as a delete does, recorded for undo.
void TakeOut(Editor& editor, int32_t slot) {
    Scene& scene = editor.scene;
    CubeRecord& cube = scene.cubes[slot];
    RecordEdit(editor.undo, kUndoDelete, EntryFor(slot, cube));
    const Cell cell = CellOf(cube);
    scene.grid[Scene::GridIndex(cell.x, cell.y, cell.z)] = 0;
    cube.inUse = 0;
    --scene.liveCubeCount;
}

// Moves every selected cube to its image under map, replacing the unselected cubes in the cells they take, as one
// undo step: the replaced cubes and the selected ones are taken out, then the selected ones put back in their own
// slots at their new cells, so that an undo gives every cube back its slot. Refused whole when an image leaves
// the add range.
bool MapSelection(Editor& editor, const CellMap& map) {
    Scene& scene = editor.scene;
    Selection& selection = editor.selection;
    if (!selection.active)
        return false;
    int32_t count = 0;
    int32_t taken = 0;  // cells outside the box that an image takes while a cube holds it
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (!Holds(editor, cube))
            continue;
        const Cell to = map(CellOf(cube));
        if (!InAddRange(to))
            return false;
        editor.selectedSlots[count++] = slot;
        if (!selection.box.Contains(to) && scene.grid[Scene::GridIndex(to.x, to.y, to.z)] != 0)
            editor.takenCells[taken++] = to;
    }
    if (count == 0)
        return false;
    FindSlots(scene, editor.cellSlots, editor.takenCells, taken, editor.replacedSlots);
    BeginAction(editor.undo);
    for (int32_t i = 0; i < taken; ++i) {
        if (editor.replacedSlots[i] >= 0)
            TakeOut(editor, editor.replacedSlots[i]);
    }
    for (int32_t i = 0; i < count; ++i)
        TakeOut(editor, editor.selectedSlots[i]);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t slot = editor.selectedSlots[i];
        const CubeRecord& cube = scene.cubes[slot];
        const Cell to = map(CellOf(cube));
        WriteNewCube(scene, slot, to, LookOf(cube));
        NoteCellSlot(scene, editor.cellSlots, to, slot);
        ++scene.liveCubeCount;
        RecordAdd(editor.undo, slot);
    }
    EndAction(editor.undo);
    selection.box = BoxBetween(map(selection.box.low), map(selection.box.high));
    editor.modified = true;
    return true;
}

}  // namespace

int32_t SelectedCount(const Editor& editor) {
    if (!editor.selection.active)
        return 0;
    int32_t count = 0;
    for (int32_t slot = 0; slot <= editor.scene.highestUsedSlot; ++slot)
        count += Holds(editor, editor.scene.cubes[slot]) ? 1 : 0;
    return count;
}

void SelectAll(Editor& editor) {
    float low[3], high[3];
    if (!SceneExtent(editor.scene, low, high))
        return;
    editor.selection.active = true;
    editor.selection.box = {
        {static_cast<int32_t>(low[0]), static_cast<int32_t>(low[1]), static_cast<int32_t>(low[2])},
        {static_cast<int32_t>(high[0]) - 1, static_cast<int32_t>(high[1]) - 1, static_cast<int32_t>(high[2]) - 1}};
}

void ClearSelection(Editor& editor) {
    if (editor.selectStroke.active || editor.box.active) {
        editor.selectStroke.active = false;
        editor.box.active = false;
        return;
    }
    editor.selection.active = false;
}

bool DeleteSelection(Editor& editor) {
    if (SelectedCount(editor) == 0)
        return false;
    EditCubesIn(editor, &editor.selection.box, 1, EditTool::Delete);
    return true;
}

bool PaintSelection(Editor& editor) {
    if (SelectedCount(editor) == 0)
        return false;
    EditCubesIn(editor, &editor.selection.box, 1, EditTool::Paint);
    return true;
}

bool MoveSelection(Editor& editor, int axis, int step) {
    CellMap map;
    map.offset[axis] = step;
    return MapSelection(editor, map);
}

bool FlipSelection(Editor& editor, int axis) {
    const CellBox& box = editor.selection.box;
    CellMap map;
    map.sign[axis] = -1;
    map.offset[axis] = CoordinateOf(box.low, axis) + CoordinateOf(box.high, axis);
    return MapSelection(editor, map);
}

bool TurnSelection(Editor& editor) {
    // Twice the middle on x and z; a cell's doubled offset from it (dx, dz) turns to (dz, -dx), and the half a
    // box of odd and even widths leaves over is rounded down alike for every cell.
    const CellBox& box = editor.selection.box;
    const int32_t sumX = box.low.x + box.high.x;
    const int32_t sumZ = box.low.z + box.high.z;
    CellMap map;
    map.from[0] = 2;
    map.offset[0] = FloorHalf(sumX - sumZ);
    map.from[2] = 0;
    map.sign[2] = -1;
    map.offset[2] = FloorHalf(sumX + sumZ);
    return MapSelection(editor, map);
}

Move ArrowMove(const Editor& editor, int virtualKey) {
    const Vec3 toEye = EyeDirection(editor.camera);
    // On the ground, the view's forward direction is away from the eye, and its right is forward turned a quarter
    // clockwise seen from above.
    const float forward[2] = {-toEye.x, -toEye.z};
    const float right[2] = {forward[1], -forward[0]};
    const bool sideways = virtualKey == kKeyLeft || virtualKey == kKeyRight;
    const float* along = sideways ? right : forward;
    const bool onX = std::fabs(along[0]) >= std::fabs(along[1]);
    const float component = onX ? along[0] : along[1];
    const int towards = virtualKey == kKeyRight || virtualKey == kKeyUp ? 1 : -1;
    return {onX ? 0 : 2, (component >= 0.0f ? 1 : -1) * towards};
}

std::string CopySelection(Editor& editor, const char* textureName) {
    if (SelectedCount(editor) == 0)
        return std::string();
    const CellBox& box = editor.selection.box;
    const int32_t low[3] = {box.low.x, box.low.y, box.low.z};
    const int32_t high[3] = {box.high.x, box.high.y, box.high.z};
    editor.copyOriginKnown = true;
    editor.copyOrigin = box.low;
    return ObjectFileText(editor.scene, textureName, low, high);
}

PasteResult PasteText(Editor& editor, const std::string& text, const PointedFace* face) {
    ObjectFileContents contents;
    if (!ParseObjectFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), contents) ||
        contents.cubes.empty())
        return PasteResult::NotAScene;
    Cell low{kGridSize, kGridSize, kGridSize}, high{-1, -1, -1};
    for (const LoadedCube& cube : contents.cubes) {
        const Cell cell{static_cast<int32_t>(cube.x), static_cast<int32_t>(cube.y), static_cast<int32_t>(cube.z)};
        low = {std::min(low.x, cell.x), std::min(low.y, cell.y), std::min(low.z, cell.z)};
        high = {std::max(high.x, cell.x), std::max(high.y, cell.y), std::max(high.z, cell.z)};
    }
    // Where the block's lowest corner goes.
    Cell at = editor.copyOriginKnown ? editor.copyOrigin : Cell{kStartCell, kStartCell, kStartCell};
    if (face != nullptr) {
        const Cell& cube = face->cube;
        const int side = face->side;
        at = cube;
        for (int axis = 0; axis < 3; ++axis) {
            const int towards = kSideOffset[side][axis];
            const int32_t size = CoordinateOf(high, axis) - CoordinateOf(low, axis) + 1;
            if (towards > 0)
                Coordinate(at, axis) = CoordinateOf(cube, axis) + 1;
            else if (towards < 0)
                Coordinate(at, axis) = CoordinateOf(cube, axis) - size;
        }
    }
    const auto destination = [&](const LoadedCube& loaded) {
        return Cell{at.x + static_cast<int32_t>(loaded.x) - low.x, at.y + static_cast<int32_t>(loaded.y) - low.y,
                    at.z + static_cast<int32_t>(loaded.z) - low.z};
    };
    Scene& scene = editor.scene;
    int32_t kept = 0, added = 0, taken = 0;
    for (const LoadedCube& loaded : contents.cubes) {
        const Cell to = destination(loaded);
        if (!InAddRange(to))
            continue;
        ++kept;
        if (scene.grid[Scene::GridIndex(to.x, to.y, to.z)] == 0)
            ++added;
        else
            editor.takenCells[taken++] = to;
    }
    if (kept == 0)
        return PasteResult::OutOfRange;
    if (scene.liveCubeCount + added > kMaxCubes) {
        editor.cannotCreate = true;
        return PasteResult::TooMany;
    }
    FindSlots(scene, editor.cellSlots, editor.takenCells, taken, editor.replacedSlots);
    editor.cannotCreate = false;
    editor.modified = true;
    BeginAction(editor.undo);
    int32_t searchFrom = 0;
    int32_t next = 0;  // the next of the taken cells, which come in the order of the text
    for (const LoadedCube& loaded : contents.cubes) {
        const Cell to = destination(loaded);
        if (!InAddRange(to))
            continue;
        const CubeLook look = {static_cast<uint8_t>(loaded.textured ? 1 : 0), loaded.textured ? kWhite : loaded.colour,
                               loaded.cellColumn, loaded.cellRow};
        if (scene.grid[Scene::GridIndex(to.x, to.y, to.z)] != 0) {
            const int32_t slot = editor.replacedSlots[next++];
            if (slot >= 0)
                PaintCube(editor, slot, look);
            continue;
        }
        const int32_t slot = NewSlot(scene, searchFrom);
        WriteNewCube(scene, slot, to, look);
        NoteCellSlot(scene, editor.cellSlots, to, slot);
        ++scene.liveCubeCount;
        RecordAdd(editor.undo, slot);
    }
    EndAction(editor.undo);
    Cell end = at;
    for (int axis = 0; axis < 3; ++axis)
        Coordinate(end, axis) += CoordinateOf(high, axis) - CoordinateOf(low, axis);
    CellBox box = BoxBetween(at, end);
    for (int axis = 0; axis < 3; ++axis) {
        Coordinate(box.low, axis) = std::max(CoordinateOf(box.low, axis), 1);
        Coordinate(box.high, axis) = std::min(CoordinateOf(box.high, axis), kGridSize - 2);
    }
    editor.selection = {true, box};
    return PasteResult::Pasted;
}
