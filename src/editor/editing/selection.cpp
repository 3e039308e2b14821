#include "editor/editing/selection.h"

#include <algorithm>
#include <cmath>

#include "editor/editing/cell_map.h"
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

// A box as bounds on the cubes' own coordinates. A cube stands on whole numbers, so its cell lies in the box exactly
// when its coordinates lie within these: a pass over 10,000 cubes then needs no conversion to cells.
struct CoordinateBox {
    float low[3], high[3];
    explicit CoordinateBox(const CellBox& box)
        : low{static_cast<float>(box.low.x), static_cast<float>(box.low.y), static_cast<float>(box.low.z)},
          high{static_cast<float>(box.high.x), static_cast<float>(box.high.y), static_cast<float>(box.high.z)} {}
    bool Holds(const CubeRecord& cube) const {
        return cube.inUse != 0 && cube.x >= low[0] && cube.x <= high[0] && cube.y >= low[1] && cube.y <= high[1] &&
               cube.z >= low[2] && cube.z <= high[2];
    }
};

// The cubes of a paste: the program's own copy's or a text's.
// The cubes of a paste: as a scene text was read (LoadedCube) or as the program's copy keeps them (PackedCube).
template <typename Cube>
struct CubeList {
    const Cube* first;
    const Cube* last;
    const Cube* begin() const { return first; }
    const Cube* end() const { return last; }
};

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

// Moves every selected cube to its image under map as one undo step: the unselected cubes in the cells taken are
// deleted, then the selected ones moved in their own slots, recorded as the map and the slots it took, so that an
// undo gives every cube its cell and slot back. Refused whole when the selection's image leaves the add range: its
// cubes lie inside it, and the box moves with them.
// place gives each cube's new position, as map gives its cell but on the coordinates themselves, in a form the
// compiler keeps in registers (a move adds, a flip negates an axis, a turn swaps two): whole numbers below 200 stay
// exact in floats, and so does the grid index worked out from them.
template <typename Placing>
bool MapSelection(Editor& editor, const CellMap& map, Placing place) {
    Scene& scene = editor.scene;
    Selection& selection = editor.selection;
    if (!selection.active)
        return false;
    const CellBox box = selection.box;
    const CellBox image = BoxBetween(map(box.low), map(box.high));
    if (!InAddRange(image.low) || !InAddRange(image.high))
        return false;
    // The cubes it replaces: occupied cells of the image outside the box whose cell in the box holds a cube (every
    // cube in the box is selected). Found by the grid over that part of the image, before anything changes.
    // A row along z that crosses the box is looked at only outside it: a move of one cell then looks at one layer.
    int32_t taken = 0;
    const auto takeRow = [&](int32_t x, int32_t y, int32_t fromZ, int32_t toZ) {
        const uint8_t* row = scene.grid + Scene::GridIndex(x, y, 0);
        for (int32_t z = fromZ; z <= toZ; ++z) {
            if (row[z] == 0)
                continue;
            const Cell from = map.Inverse({x, y, z});
            if (scene.grid[Scene::GridIndex(from.x, from.y, from.z)] != 0)
                editor.takenCells[taken++] = {x, y, z};
        }
    };
    for (int32_t x = image.low.x; x <= image.high.x; ++x) {
        for (int32_t y = image.low.y; y <= image.high.y; ++y) {
            if (x < box.low.x || x > box.high.x || y < box.low.y || y > box.high.y) {
                takeRow(x, y, image.low.z, image.high.z);
                continue;
            }
            takeRow(x, y, image.low.z, std::min(image.high.z, box.low.z - 1));
            takeRow(x, y, std::max(image.low.z, box.high.z + 1), image.high.z);
        }
    }
    FindSlots(scene, editor.cellSlots, editor.takenCells, taken, editor.replacedSlots);
    BeginAction(editor.undo);
    for (int32_t i = 0; i < taken; ++i) {
        if (editor.replacedSlots[i] >= 0)
            TakeOut(editor, editor.replacedSlots[i]);
    }
    // Every cell the cubes leave is emptied before any is taken, since a cube may move into a cell another leaves:
    // the box's cells hold the selected cubes and nothing else. Then one pass over the slots moves them.
    for (int32_t x = box.low.x; x <= box.high.x; ++x) {
        for (int32_t y = box.low.y; y <= box.high.y; ++y) {
            uint8_t* row = scene.grid + Scene::GridIndex(x, y, 0);
            std::fill(row + box.low.z, row + box.high.z + 1, uint8_t{0});
        }
    }
    int32_t count = 0;
    const CoordinateBox inside(box);
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        CubeRecord& cube = scene.cubes[slot];
        if (!inside.Holds(cube))
            continue;
        place(cube);
        const float index = (cube.x * kGridSize + cube.y) * kGridSize + cube.z;
        scene.grid[static_cast<int32_t>(index)] = 1;
        editor.selectedSlots[count++] = slot;
    }
    if (count == 0) {
        EndAction(editor.undo);  // nothing was recorded: nothing happened
        return false;
    }
    RecordMapped(editor.undo, map, editor.selectedSlots, count);
    EndAction(editor.undo);
    selection.box = image;
    editor.modified = true;
    return true;
}

}  // namespace

int32_t SelectedCount(const Editor& editor) {
    if (!editor.selection.active)
        return 0;
    const Scene& scene = editor.scene;
    const CellBox& box = editor.selection.box;
    int32_t count = 0;
    // A box smaller than the slots in use is counted by its grid bytes, row by row along z; a larger one by the
    // slots. Either way each frame that shows the count stays cheap.
    if (box.Volume() <= scene.highestUsedSlot + 1) {
        for (int32_t x = box.low.x; x <= box.high.x; ++x) {
            for (int32_t y = box.low.y; y <= box.high.y; ++y) {
                const uint8_t* row = scene.grid + Scene::GridIndex(x, y, 0);
                for (int32_t z = box.low.z; z <= box.high.z; ++z)
                    count += row[z];
            }
        }
        return count;
    }
    const CoordinateBox inside(box);
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot)
        count += inside.Holds(scene.cubes[slot]) ? 1 : 0;
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
    const float by[3] = {static_cast<float>(map.offset[0]), static_cast<float>(map.offset[1]),
                         static_cast<float>(map.offset[2])};
    return MapSelection(editor, map, [by](CubeRecord& cube) {
        cube.x += by[0];
        cube.y += by[1];
        cube.z += by[2];
    });
}

bool FlipSelection(Editor& editor, int axis) {
    const CellBox& box = editor.selection.box;
    CellMap map;
    map.Take(axis, axis, -1);
    map.offset[axis] = CoordinateOf(box.low, axis) + CoordinateOf(box.high, axis);
    const float sign[3] = {static_cast<float>(map.m[0][0]), static_cast<float>(map.m[1][1]),
                           static_cast<float>(map.m[2][2])};
    const float sum[3] = {static_cast<float>(map.offset[0]), static_cast<float>(map.offset[1]),
                          static_cast<float>(map.offset[2])};
    return MapSelection(editor, map, [sign, sum](CubeRecord& cube) {
        cube.x = sign[0] * cube.x + sum[0];
        cube.y = sign[1] * cube.y + sum[1];
        cube.z = sign[2] * cube.z + sum[2];
    });
}

bool TurnSelection(Editor& editor) {
    // Twice the middle on x and z; a cell's doubled offset from it (dx, dz) turns to (dz, -dx), and the half a
    // box of odd and even widths leaves over is rounded down alike for every cell.
    const CellBox& box = editor.selection.box;
    const int32_t sumX = box.low.x + box.high.x;
    const int32_t sumZ = box.low.z + box.high.z;
    CellMap map;
    map.Take(0, 2, 1);
    map.offset[0] = FloorHalf(sumX - sumZ);
    map.Take(2, 0, -1);
    map.offset[2] = FloorHalf(sumX + sumZ);
    const float toX = static_cast<float>(map.offset[0]), toZ = static_cast<float>(map.offset[2]);
    return MapSelection(editor, map, [toX, toZ](CubeRecord& cube) {
        const float x = cube.x;
        cube.x = cube.z + toX;
        cube.z = toZ - x;
    });
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

int32_t CopySelection(Editor& editor, const char* textureName) {
    if (!editor.selection.active)
        return 0;
    // The cubes as a paste of the copy's text would read them, coloured ones first, each kind in slot order: the
    // order the text lists them in, and a paste adds them in. The text is made from them once something asks for
    // it, and a paste of the program's own copy need not read it. One pass writes the coloured ones and notes the
    // textured ones' slots (a copy of nothing writes nothing, and the last copy stays); each field is written in
    // place: a whole record built aside and copied in stalled on every cube.
    const Scene& scene = editor.scene;
    const CoordinateBox inside(editor.selection.box);
    const CellBox& box = editor.selection.box;
    const float low[3] = {static_cast<float>(box.low.x), static_cast<float>(box.low.y), static_cast<float>(box.low.z)};
    const auto write = [&low](PackedCube* copied, const CubeRecord& cube, bool textured) {
        copied->x = static_cast<uint8_t>(cube.x - low[0]);
        copied->y = static_cast<uint8_t>(cube.y - low[1]);
        copied->z = static_cast<uint8_t>(cube.z - low[2]);
        copied->textured = textured ? 1 : 0;
        copied->cellColumn = static_cast<uint8_t>(cube.cellColumn);
        copied->cellRow = static_cast<uint8_t>(cube.cellRow);
        copied->colour = textured ? kWhite : cube.colour;
    };
    int32_t coloured = 0, textured = 0;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (!inside.Holds(cube))
            continue;
        if (cube.textured != 0)
            editor.replacedSlots[textured++] = slot;
        else
            write(editor.copiedCubes + coloured++, cube, false);
    }
    if (coloured + textured == 0)
        return 0;
    for (int32_t i = 0; i < textured; ++i)
        write(editor.copiedCubes + coloured + i, scene.cubes[editor.replacedSlots[i]], true);
    editor.copiedCount = coloured + textured;
    editor.copiedColoured = coloured;
    editor.copiedTextureName = textureName;
    editor.copiedTextMade = false;
    editor.copyOriginKnown = true;
    editor.copyOrigin = box.low;
    return editor.copiedCount;
}

const std::string& CopiedText(Editor& editor) {
    if (!editor.copiedTextMade && editor.copiedCount == 0)
        editor.copiedText.clear();
    else if (!editor.copiedTextMade)
        WriteObjectFileText(editor.copiedText, editor.copiedCubes, editor.copiedColoured,
                            editor.copiedCount - editor.copiedColoured, editor.copiedTextureName.c_str());
    editor.copiedTextMade = true;
    return editor.copiedText;
}

namespace {

template <typename Cube>
PasteResult PasteCubes(Editor& editor, const CubeList<Cube>& cubes, const PointedFace* face) {
    if (cubes.begin() == cubes.end())
        return PasteResult::NotAScene;
    Cell low{kGridSize, kGridSize, kGridSize}, high{-1, -1, -1};
    for (const Cube& cube : cubes) {
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
    const auto destination = [&](const Cube& loaded) {
        return Cell{at.x + static_cast<int32_t>(loaded.x) - low.x, at.y + static_cast<int32_t>(loaded.y) - low.y,
                    at.z + static_cast<int32_t>(loaded.z) - low.z};
    };
    Scene& scene = editor.scene;
    int32_t kept = 0, added = 0, taken = 0;
    for (const Cube& loaded : cubes) {
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
    int32_t adds = 0;
    int32_t next = 0;  // the next of the taken cells, which come in the order of the text
    for (const Cube& loaded : cubes) {
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
        // The cell-slot table is left behind, as a box leaves it: it finds the new cubes when it is next asked. The
        // adds go to the history together after the loop (their order in it does not matter: each is its own cube).
        const int32_t slot = NewSlot(scene, searchFrom);
        WriteNewCube(scene, slot, to, look);
        editor.selectedSlots[adds++] = slot;
    }
    scene.liveCubeCount += adds;
    RecordAdds(editor.undo, editor.selectedSlots, adds);
    EndAction(editor.undo);
    Cell end = at;
    for (int axis = 0; axis < 3; ++axis)
        Coordinate(end, axis) += CoordinateOf(high, axis) - CoordinateOf(low, axis);
    CellBox box = BoxBetween(at, end);
    ClipToAddRange(box);  // some cube of the block lies in the range, so some of the box does
    editor.selection = {true, box};
    return PasteResult::Pasted;
}

}  // namespace

PasteResult PasteText(Editor& editor, const std::string& text, const PointedFace* face) {
    // The program's own last copy is not read again: its cubes were kept with it.
    if (editor.copiedTextMade && !text.empty() && text == editor.copiedText)
        return PasteCopied(editor, face);
    ObjectFileContents contents;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    if (!ParseObjectFile(bytes, text.size(), contents)) {
        if (!ObjectFileHoldsTooMany(bytes, text.size()))
            return PasteResult::NotAScene;
        editor.cannotCreate = true;
        return PasteResult::TooMany;
    }
    return PasteCubes(editor, CubeList<LoadedCube>{contents.cubes.data(), contents.cubes.data() + contents.cubes.size()},
                      face);
}

PasteResult PasteCopied(Editor& editor, const PointedFace* face) {
    return PasteCubes(editor, CubeList<PackedCube>{editor.copiedCubes, editor.copiedCubes + editor.copiedCount}, face);
}
