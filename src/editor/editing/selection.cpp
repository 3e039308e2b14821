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

// The smallest box around the cubes in a box that holds some. Found by the grid from each side inwards, which stops
// at the first plane or cell with a cube: a selection's sides mostly touch its cubes already.
CellBox BoxOfCubesIn(const Scene& scene, CellBox box) {
    const auto row = [&scene](int32_t x, int32_t y) { return scene.grid + Scene::GridIndex(x, y, 0); };
    const auto rowHolds = [&](int32_t x, int32_t y) {
        const uint8_t* cells = row(x, y);
        return std::find(cells + box.low.z, cells + box.high.z + 1, uint8_t{1}) != cells + box.high.z + 1;
    };
    const auto planeHolds = [&](int32_t x) {
        for (int32_t y = box.low.y; y <= box.high.y; ++y) {
            if (rowHolds(x, y))
                return true;
        }
        return false;
    };
    const auto layerHolds = [&](int32_t y) {
        for (int32_t x = box.low.x; x <= box.high.x; ++x) {
            if (rowHolds(x, y))
                return true;
        }
        return false;
    };
    while (!planeHolds(box.low.x))
        ++box.low.x;
    while (!planeHolds(box.high.x))
        --box.high.x;
    while (!layerHolds(box.low.y))
        ++box.low.y;
    while (!layerHolds(box.high.y))
        --box.high.y;
    int32_t lowZ = box.high.z, highZ = box.low.z;
    for (int32_t x = box.low.x; x <= box.high.x; ++x) {
        for (int32_t y = box.low.y; y <= box.high.y; ++y) {
            const uint8_t* cells = row(x, y);
            for (int32_t z = box.low.z; z < lowZ; ++z) {
                if (cells[z] != 0)
                    lowZ = z;
            }
            for (int32_t z = box.high.z; z > highZ; --z) {
                if (cells[z] != 0)
                    highZ = z;
            }
        }
    }
    box.low.z = lowZ;
    box.high.z = highZ;
    return box;
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
    const float* low = inside.low;
    const auto write = [low](PackedCube* copied, const CubeRecord& cube, bool textured) {
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
    const CellBox held = BoxOfCubesIn(scene, box);
    editor.copiedLow = {held.low.x - box.low.x, held.low.y - box.low.y, held.low.z - box.low.z};
    editor.copiedHigh = {held.high.x - box.low.x, held.high.y - box.low.y, held.high.z - box.low.z};
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

// A block to paste: its cubes, and the lowest and highest cells they take.
template <typename Cube>
struct Block {
    const Cube* first;
    const Cube* last;
    Cell low, high;
};

// Pastes a block: onto the pointed face's outer side, else with its lowest corner at home.
template <typename Cube>
PasteResult PasteCubes(Editor& editor, const Block<Cube>& block, const Cell& home, const PointedFace* face) {
    const Cell& low = block.low;
    const Cell& high = block.high;
    // Where the block's lowest corner goes.
    Cell at = home;
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
    const auto lookOf = [](const Cube& loaded) {
        return CubeLook{static_cast<uint8_t>(loaded.textured ? 1 : 0), loaded.textured ? kWhite : loaded.colour,
                        loaded.cellColumn, loaded.cellRow};
    };
    Cell end = at;
    for (int axis = 0; axis < 3; ++axis)
        Coordinate(end, axis) += CoordinateOf(high, axis) - CoordinateOf(low, axis);
    // A block wholly in the add range needs no cube of it checked.
    const bool whole = InAddRange(at) && InAddRange(end);
    // One pass adds the cubes of free cells, in the block's order, and notes each occupied cell with the cube for
    // it. A paste that turns out to take the scene over its limit is then taken back whole before anything else
    // sees it: refusals are rare, and a pass that only counted first read the grid twice. What the pass uses, the
    // highest slot among it, is held apart from the scene, whose grid bytes it writes: the compiler would read each
    // again after every cube.
    Scene& scene = editor.scene;
    uint8_t* const grid = scene.grid;
    CubeRecord* const records = scene.cubes;
    int32_t* const addedSlots = editor.selectedSlots;
    const Cube* const first = block.first;
    const Cube* const last = block.last;
    const int32_t shift[3] = {at.x - low.x, at.y - low.y, at.z - low.z};
    const int32_t room = kMaxCubes - scene.liveCubeCount;
    int32_t highest = scene.highestUsedSlot, searchFrom = 0, adds = 0, taken = 0;
    for (const Cube* cube = first; cube != last; ++cube) {
        const Cell to{shift[0] + static_cast<int32_t>(cube->x), shift[1] + static_cast<int32_t>(cube->y),
                      shift[2] + static_cast<int32_t>(cube->z)};
        if (!whole && !InAddRange(to))
            continue;
        const int32_t cell = Scene::GridIndex(to.x, to.y, to.z);
        if (grid[cell] != 0) {
            editor.takenCells[taken] = to;
            editor.replacedSlots[taken++] = static_cast<int32_t>(cube - first);
            continue;
        }
        if (adds == room) {
            for (int32_t i = 0; i < adds; ++i) {
                CubeRecord& added = records[addedSlots[i]];
                const Cell place = CellOf(added);
                grid[Scene::GridIndex(place.x, place.y, place.z)] = 0;
                added.inUse = 0;
            }
            editor.cannotCreate = true;
            return PasteResult::TooMany;
        }
        // The cell-slot table is left behind, as a box leaves it: it finds the new cubes when it is next asked.
        const int32_t slot = NewSlotAbove(scene, highest, searchFrom);
        WriteNewCube(scene, slot, to, lookOf(*cube));
        addedSlots[adds++] = slot;
    }
    scene.highestUsedSlot = highest;
    if (adds + taken == 0)
        return PasteResult::OutOfRange;
    editor.cannotCreate = false;
    editor.modified = true;
    scene.liveCubeCount += adds;
    BeginAction(editor.undo);
    // The cubes already in the block's cells take its looks; the adds go to the history together (their order in
    // it does not matter: each is its own cube).
    for (int32_t i = 0; i < taken; ++i) {
        int32_t slot = -1;
        FindSlots(scene, editor.cellSlots, editor.takenCells + i, 1, &slot);
        if (slot >= 0)
            PaintCube(editor, slot, lookOf(block.first[editor.replacedSlots[i]]));
    }
    RecordAdds(editor.undo, editor.selectedSlots, adds);
    EndAction(editor.undo);
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
    if (contents.cubes.empty())
        return PasteResult::NotAScene;
    // A text's block goes, pointed at no cube, where this program's last copy came from, else at the start cube.
    Block<LoadedCube> block{contents.cubes.data(),
                            contents.cubes.data() + contents.cubes.size(),
                            {kGridSize, kGridSize, kGridSize},
                            {-1, -1, -1}};
    for (const LoadedCube& cube : contents.cubes) {
        const Cell cell{static_cast<int32_t>(cube.x), static_cast<int32_t>(cube.y), static_cast<int32_t>(cube.z)};
        block.low = {std::min(block.low.x, cell.x), std::min(block.low.y, cell.y), std::min(block.low.z, cell.z)};
        block.high = {std::max(block.high.x, cell.x), std::max(block.high.y, cell.y), std::max(block.high.z, cell.z)};
    }
    return PasteCubes(editor, block,
                      editor.copyOriginKnown ? editor.copyOrigin : Cell{kStartCell, kStartCell, kStartCell}, face);
}

PasteResult PasteCopied(Editor& editor, const PointedFace* face) {
    if (editor.copiedCount == 0)
        return PasteResult::NotAScene;
    // The copy's own cubes go, pointed at no cube, back to the cells they were copied from.
    const Cell& origin = editor.copyOrigin;
    const Cell& low = editor.copiedLow;
    return PasteCubes(
        editor, Block<PackedCube>{editor.copiedCubes, editor.copiedCubes + editor.copiedCount, low, editor.copiedHigh},
        Cell{origin.x + low.x, origin.y + low.y, origin.z + low.z}, face);
}
