// The editor against a plain model of it: random clicks (mirrored or not, every tool), boxes, undo and redo bursts
// and New, with the scene compared after every step to a map of cells to looks and the history to a list of
// actions. Steps are drawn around the grid's middle and in two of its corners, which mirror planes through the middle
// map onto each other, so that the add range's both ends, the full array, the cell-slot table and a ring of edits
// filled past its end all come up. BLOKKENVELD_MODEL_STEPS sets a longer run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <unordered_map>
#include <vector>

#include "editor/editing/selection.h"
#include "editor/editing/tools.h"
#include "fake_platform.h"
#include "files/object_file.h"

namespace {

struct Look {
    uint8_t textured;
    uint32_t colour;
    int32_t column, row;  // only of a textured cube
    bool operator==(const Look& o) const {
        return textured == o.textured && colour == o.colour && (textured == 0 || (column == o.column && row == o.row));
    }
};

using Cells = std::unordered_map<int, Look>;  // by grid index

int Index(const Cell& c) {
    return Scene::GridIndex(c.x, c.y, c.z);
}

// A change to one cell: what it held before and after (nothing: empty).
struct Change {
    int cell;
    std::optional<Look> before, after;
};

// The history as a list of whole actions: the first `depth` can be undone, the rest redone. It keeps 100 actions
// and 30,000 edits, an edit being one cell changed, the oldest going first.
struct ReferenceHistory {
    std::vector<std::vector<Change>> actions;
    size_t depth = 0;
    int kept = 0;
    int droppedForRoom = 0;  // actions the ring's room pushed out

    std::vector<int> edits;  // each action's edits

    void DropOldest() {
        kept -= edits.front();
        actions.erase(actions.begin());
        edits.erase(edits.begin());
        --depth;
    }
    void Record(std::vector<Change> action, int count) {
        if (count < 0)
            count = static_cast<int>(action.size());
        if (count == 0)
            return;
        actions.resize(depth);
        edits.resize(depth);
        if (depth == kUndoCapacity)
            DropOldest();
        for (; kept + count > kUndoEditCapacity && depth > 0; ++droppedForRoom)
            DropOldest();
        kept += count;
        actions.push_back(std::move(action));
        edits.push_back(count);
        ++depth;
    }
};

struct Reference {
    Cells cells;
    ReferenceHistory history;
    bool cannotCreate = false;
    bool selected = false;
    CellBox selection{};
    std::vector<std::pair<Cell, Look>> copied;  // the last copy, from the selection's low corner
    Cell copiedFrom{};
    std::map<int, Change>* open = nullptr;  // the changes of the action being made

    std::optional<Look> At(int cell) const {
        const auto at = cells.find(cell);
        return at == cells.end() ? std::nullopt : std::optional<Look>(at->second);
    }
    void Put(int cell, const std::optional<Look>& look) {
        if (open != nullptr) {
            const auto change = open->find(cell);
            if (change == open->end())
                open->emplace(cell, Change{cell, At(cell), look});
            else
                change->second.after = look;
        }
        if (look)
            cells[cell] = *look;
        else
            cells.erase(cell);
    }
    // Runs an edit of the cells and records the cells it changed as one action, of that many edits unless the action
    // counts its own (a move keeps its map and each cube it moved, however few cells change).
    template <typename Edit>
    void Act(Edit edit, int edits = -1) {
        std::map<int, Change> changes;
        open = &changes;
        edit();
        open = nullptr;
        std::vector<Change> action;
        for (const auto& entry : changes) {
            const Change& change = entry.second;
            if (change.before.has_value() != change.after.has_value() ||
                (change.before && !(*change.before == *change.after)))
                action.push_back(change);
        }
        history.Record(std::move(action), edits);
    }
    void Undo() {
        if (history.depth == 0)
            return;
        const auto& action = history.actions[--history.depth];
        history.kept -= history.edits[history.depth];
        for (const Change& change : action)
            Put(change.cell, change.before);
    }
    void Redo() {
        if (history.depth == history.actions.size())
            return;
        history.kept += history.edits[history.depth];
        const auto& action = history.actions[history.depth++];
        for (const Change& change : action)
            Put(change.cell, change.after);
    }
};

bool PlainInAddRange(const Cell& c) {
    return c.x >= 1 && c.x <= 198 && c.y >= 1 && c.y <= 198 && c.z >= 1 && c.z <= 198;
}

// The cell and its images in the planes switched on, in the order the tools take them: each plane in turn mirrors
// what the earlier ones made.
std::vector<Cell> PlainImages(const MirrorState& mirror, const Cell& cell) {
    std::vector<Cell> out = {cell};
    for (int axis = 0; axis < 3; ++axis) {
        if (!mirror.on[axis])
            continue;
        const size_t before = out.size();
        for (size_t i = 0; i < before; ++i) {
            Cell image = out[i];
            int32_t* c[3] = {&image.x, &image.y, &image.z};
            *c[axis] = mirror.sum[axis] - *c[axis];
            if (!(image == out[i]) && Scene::InGrid(image.x, image.y, image.z))
                out.push_back(image);
        }
    }
    return out;
}

// Every cell of the box and of its images within the grid, each once.
std::vector<Cell> PlainBoxCells(const MirrorState& mirror, const CellBox& box) {
    std::vector<Cell> cells;
    for (int x = box.low.x; x <= box.high.x; ++x)
        for (int y = box.low.y; y <= box.high.y; ++y)
            for (int z = box.low.z; z <= box.high.z; ++z)
                for (const Cell& image : PlainImages(mirror, {x, y, z}))
                    cells.push_back(image);
    std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) { return Index(a) < Index(b); });
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return cells;
}

struct ModelRun {
    std::unique_ptr<Editor> editor = std::make_unique<Editor>();
    Reference reference;
    std::mt19937 random;
    std::vector<uint8_t> marks = std::vector<uint8_t>(kGridCells);  // cells seen by a check, cleared after it

    explicit ModelRun(uint32_t seed) : random(seed) { New(); }

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    // A cell around the grid's middle, or now and then in one of two opposite corners.
    Cell RandomCell(int region) {
        const int low = region == 0 ? 88 : region == 1 ? 0 : 194;
        const int high = region == 0 ? 112 : region == 1 ? 5 : 199;
        return {Between(low, high), Between(low, high), Between(low, high)};
    }
    Look CurrentLook() const {
        const Editor& e = *editor;
        return e.textureMode ? Look{1, kWhite, e.textureColumn, e.textureRow} : Look{0, e.currentColour, 0, 0};
    }

    void New() {
        editor->StartNewScene();
        editor->ResetScene();
        const bool warning = reference.cannotCreate;  // New leaves the limit warning to the next add
        const int dropped = reference.history.droppedForRoom;
        Reference fresh;
        fresh.copied = std::move(reference.copied);  // the clipboard outlives the scene
        fresh.copiedFrom = reference.copiedFrom;
        reference = std::move(fresh);
        reference.cannotCreate = warning;
        reference.history.droppedForRoom = dropped;
        reference.cells[Index({100, 100, 100})] = Look{0, kWhite, 0, 0};
    }

    // A cube's slot chosen at random among those in use.
    int32_t RandomSlot() {
        const Scene& scene = editor->scene;
        for (;;) {
            const int32_t slot = Between(0, scene.highestUsedSlot);
            if (scene.cubes[slot].inUse != 0)
                return slot;
        }
    }

    // The tool on the cubes at cells, in turn; the last cube of the scene is never deleted.
    void DeleteOrPaint(const std::vector<Cell>& cells, const Look& look) {
        Reference& r = reference;
        r.Act([&] {
            for (const Cell& cell : cells) {
                if (r.cells.count(Index(cell)) == 0)
                    continue;
                if (editor->tool == EditTool::Paint)
                    r.Put(Index(cell), look);
                else if (r.cells.size() > 1)
                    r.Put(Index(cell), std::nullopt);
            }
        });
    }

    void Click() {
        Editor& e = *editor;
        e.tool = static_cast<EditTool>(Between(0, 2));
        const int32_t slot = RandomSlot();
        const int side = Between(0, kSideCount - 1);
        const Cell cube = CellOf(e.scene.cubes[slot]);
        const Cell target = e.tool == EditTool::Add ? NeighbourCell(cube, side) : cube;
        const std::vector<Cell> cells = PlainImages(e.mirror, target);
        const Look look = CurrentLook();
        Reference& r = reference;
        if (e.tool == EditTool::Add) {
            r.Act([&] {
                bool inRange = false, full = false;
                for (const Cell& cell : cells) {
                    if (!PlainInAddRange(cell))
                        continue;
                    inRange = true;
                    if (r.cells.count(Index(cell)) != 0)
                        continue;
                    if (r.cells.size() == kMaxCubes) {
                        full = true;
                        break;
                    }
                    r.Put(Index(cell), look);
                }
                r.cannotCreate = full || !inRange;
            });
        } else {
            DeleteOrPaint(cells, look);
        }
        ApplyTool(e, slot, side);
    }

    void Box() {
        Editor& e = *editor;
        e.tool = static_cast<EditTool>(Between(0, 2));
        const int region = Between(0, 5) < 4 ? 0 : Between(1, 2);
        // Up to the region's whole width on each axis, so that boxes of thousands fill the ring of edits.
        const Cell from = RandomCell(region);
        const int reach = region == 0 ? 24 : 5;
        const CellBox box =
            BoxBetween(from, {std::min(from.x + Between(0, reach), 199), std::min(from.y + Between(0, reach), 199),
                              std::min(from.z + Between(0, reach), 199)});
        const std::vector<Cell> cells = PlainBoxCells(e.mirror, box);
        const Look look = CurrentLook();
        Reference& r = reference;
        if (e.tool == EditTool::Add) {
            std::vector<Cell> free;
            for (const Cell& cell : cells) {
                if (PlainInAddRange(cell) && r.cells.count(Index(cell)) == 0)
                    free.push_back(cell);
            }
            if (r.cells.size() + free.size() > kMaxCubes) {
                r.cannotCreate = true;
            } else {
                r.cannotCreate = false;
                r.Act([&] {
                    for (const Cell& cell : free)
                        r.Put(Index(cell), look);
                });
            }
        } else {
            size_t held = 0;
            for (const Cell& cell : cells)
                held += r.cells.count(Index(cell));
            if (e.tool == EditTool::Delete && held == r.cells.size())
                return;  // which cube would stay depends on the slots, which the model does not know
            DeleteOrPaint(cells, look);
        }
        ApplyBox(e, box);
    }

    void UndoOrRedo(bool undo, int times) {
        for (int i = 0; i < times; ++i) {
            (undo ? editor->undo.doUndo : editor->undo.doRedo) = true;
            UndoApplyStep(*editor);
            if (undo)
                reference.Undo();
            else
                reference.Redo();
        }
    }

    void ChangeMirror() {
        MirrorState& mirror = editor->mirror;
        const int axis = Between(0, 2);
        if (Between(0, 1) == 0)
            mirror.on[axis] = !mirror.on[axis];
        else
            mirror.sum[axis] = Between(0, 4) == 0 ? 199 + Between(0, 2) : Between(190, 210);
    }

    void ChangeLook() {
        Editor& e = *editor;
        e.textureMode = Between(0, 2) == 0;
        e.textureColumn = Between(0, 7);
        e.textureRow = Between(0, 7);
        e.currentColour = 0xFF000000u | static_cast<uint32_t>(Between(0, 3)) * 0x404040u;
    }

    Cell CellAt(int index) const {
        return {index / (kGridSize * kGridSize), index / kGridSize % kGridSize, index % kGridSize};
    }

    // The model's cubes inside the selection.
    std::vector<std::pair<Cell, Look>> Selected() const {
        std::vector<std::pair<Cell, Look>> out;
        if (!reference.selected)
            return out;
        for (const auto& [index, look] : reference.cells) {
            if (reference.selection.Contains(CellAt(index)))
                out.push_back({CellAt(index), look});
        }
        return out;
    }

    void Select() {
        Editor& e = *editor;
        Reference& r = reference;
        if (Between(0, 4) == 0) {
            Cell low{kGridSize, kGridSize, kGridSize}, high{-1, -1, -1};
            for (const auto& entry : r.cells) {
                const Cell c = CellAt(entry.first);
                low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
                high = {std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)};
            }
            r.selected = true;
            r.selection = {low, high};
            SelectAll(e);
            return;
        }
        const int region = Between(0, 5) < 4 ? 0 : Between(1, 2);
        r.selected = true;
        r.selection = BoxBetween(RandomCell(region), RandomCell(region));
        e.selection = {true, r.selection};
    }

    // A move, a flip or a quarter turn of the selected cubes, worked out cell by cell.
    void Transform() {
        Editor& e = *editor;
        Reference& r = reference;
        const int kind = Between(0, 2);
        const int axis = Between(0, 2);
        const int step = Between(0, 1) == 0 ? 1 : -1;
        const CellBox b = r.selection;
        const std::function<Cell(Cell)> image = [&](Cell c) {
            int32_t* at[3] = {&c.x, &c.y, &c.z};
            const int32_t low[3] = {b.low.x, b.low.y, b.low.z}, high[3] = {b.high.x, b.high.y, b.high.z};
            if (kind == 0)
                *at[axis] += step;
            else if (kind == 1)
                *at[axis] = low[axis] + high[axis] - *at[axis];
            else
                c = {static_cast<int32_t>(std::floor((b.low.x + b.high.x + 2.0 * c.z - b.low.z - b.high.z) / 2)), c.y,
                     static_cast<int32_t>(std::floor((b.low.z + b.high.z - 2.0 * c.x + b.low.x + b.high.x) / 2))};
            return c;
        };
        // The box moves with its cubes, and must stay in the add range.
        const std::vector<std::pair<Cell, Look>> selected = Selected();
        const bool allowed = !selected.empty() && PlainInAddRange(image(b.low)) && PlainInAddRange(image(b.high));
        int replaced = 0;
        for (const auto& entry : selected) {
            const Cell to = image(entry.first);
            replaced += allowed && !b.Contains(to) && r.cells.count(Index(to)) != 0 ? 1 : 0;
        }
        if (allowed) {
            r.Act(
                [&] {
                    for (const auto& entry : selected)
                        r.Put(Index(entry.first), std::nullopt);
                    for (const auto& [cell, look] : selected)
                        r.Put(Index(image(cell)), look);
                },
                1 + static_cast<int>(selected.size()) + replaced);
            r.selection = BoxBetween(image(b.low), image(b.high));
        }
        const bool done = kind == 0   ? MoveSelection(e, axis, step)
                          : kind == 1 ? FlipSelection(e, axis)
                                      : TurnSelection(e);
        EXPECT_EQ(done, allowed);
    }

    void DeleteOrPaintSelection() {
        Editor& e = *editor;
        std::vector<Cell> cells;
        for (const auto& entry : Selected())
            cells.push_back(entry.first);
        e.tool = Between(0, 1) == 0 ? EditTool::Delete : EditTool::Paint;
        if (e.tool == EditTool::Delete && cells.size() == reference.cells.size())
            return;  // which cube stays depends on the slots
        DeleteOrPaint(cells, CurrentLook());
        EXPECT_EQ(e.tool == EditTool::Delete ? DeleteSelection(e) : PaintSelection(e), !cells.empty());
    }

    // A copy of the selection now and then; a paste of the last copy on a random face or where it was copied from,
    // either of the copy itself or of its text, made only then (as the clipboard asks for it) and read back as a
    // scene: the cubes as they were when copied, whatever the scene did since. A copy of nothing keeps the last.
    bool copied = false;
    void CopyAndPaste() {
        Editor& e = *editor;
        Reference& r = reference;
        if (Between(0, 1) == 0) {
            const std::vector<std::pair<Cell, Look>> selected = Selected();
            ASSERT_EQ(CopySelection(e, "tex.bmp"), static_cast<int32_t>(selected.size()));
            if (selected.empty())
                return;
            r.copied.clear();
            for (const auto& [cell, look] : selected)
                r.copied.push_back(
                    {{cell.x - r.selection.low.x, cell.y - r.selection.low.y, cell.z - r.selection.low.z}, look});
            r.copiedFrom = r.selection.low;
            copied = true;
            return;
        }
        if (!copied)
            return;
        const bool asText = Between(0, 1) == 0;
        std::string text;
        if (asText) {
            text = CopiedText(e);
            ObjectFileContents read;
            ASSERT_TRUE(ParseObjectFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), read));
            ASSERT_EQ(read.cubes.size(), r.copied.size());
            const bool anyTextured = std::any_of(r.copied.begin(), r.copied.end(),
                                                 [](const auto& entry) { return entry.second.textured != 0; });
            ASSERT_EQ(std::string(read.textureName), anyTextured ? "tex.bmp" : "") << "the atlas the copy names";
            for (const LoadedCube& cube : read.cubes) {
                const Look look{static_cast<uint8_t>(cube.textured), cube.colour, cube.cellColumn, cube.cellRow};
                const Cell cell{static_cast<int32_t>(cube.x), static_cast<int32_t>(cube.y),
                                static_cast<int32_t>(cube.z)};
                ASSERT_TRUE(std::count(r.copied.begin(), r.copied.end(), std::make_pair(cell, look)) == 1)
                    << "the copy reads back as the cubes copied";
            }
        }
        Cell low{kGridSize, kGridSize, kGridSize}, high{-1, -1, -1};
        for (const auto& entry : r.copied) {
            const Cell& c = entry.first;
            low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
            high = {std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)};
        }
        // Pointed at no cube, the copy goes back to the cells it came from.
        Cell at{r.copiedFrom.x + low.x, r.copiedFrom.y + low.y, r.copiedFrom.z + low.z};
        std::optional<PointedFace> face;
        if (Between(0, 2) != 0) {
            face = PointedFace{CellOf(e.scene.cubes[RandomSlot()]), Between(0, kSideCount - 1)};
            at = face->cube;
            int32_t* a[3] = {&at.x, &at.y, &at.z};
            const int32_t size[3] = {high.x - low.x + 1, high.y - low.y + 1, high.z - low.z + 1};
            for (int axis = 0; axis < 3; ++axis)
                *a[axis] += kSideOffset[face->side][axis] > 0 ? 1 : kSideOffset[face->side][axis] < 0 ? -size[axis] : 0;
        }
        std::vector<std::pair<Cell, Look>> pasted;
        size_t added = 0;
        for (const auto& [cell, look] : r.copied) {
            const Cell to{at.x + cell.x - low.x, at.y + cell.y - low.y, at.z + cell.z - low.z};
            if (!PlainInAddRange(to))
                continue;
            pasted.push_back({to, look});
            added += r.cells.count(Index(to)) == 0 ? 1 : 0;
        }
        if (!pasted.empty() && r.cells.size() + added > kMaxCubes) {
            r.cannotCreate = true;
        } else if (!pasted.empty()) {
            r.cannotCreate = false;
            r.Act([&] {
                for (const auto& [cell, look] : pasted)
                    r.Put(Index(cell), look);
            });
            const Cell end{at.x + high.x - low.x, at.y + high.y - low.y, at.z + high.z - low.z};
            r.selected = true;
            r.selection = {{std::max(at.x, 1), std::max(at.y, 1), std::max(at.z, 1)},
                           {std::min(end.x, 198), std::min(end.y, 198), std::min(end.z, 198)}};
        }
        if (asText)
            PasteText(e, text, face ? &*face : nullptr);
        else
            PasteCopied(e, face ? &*face : nullptr);
    }

    // Edits outweigh undos, so that the history fills; New is rare, so that scenes grow large.
    void Step() {
        const int roll = Between(0, 999);
        if (roll < 250)
            Click();
        else if (roll < 550)
            Box();
        else if (roll < 620)
            UndoOrRedo(true, Between(1, 4));
        else if (roll < 660)
            UndoOrRedo(false, Between(1, 4));
        else if (roll < 661)
            New();
        else if (roll < 700)
            Select();
        else if (roll < 770)
            Transform();
        else if (roll < 790)
            DeleteOrPaintSelection();
        else if (roll < 820)
            CopyAndPaste();
        else if (roll < 900)
            ChangeMirror();
        else
            ChangeLook();
    }

    // The scene holds exactly the model's cells with their looks, its grid and count agree, and the history offers
    // what the model's does.
    void Check(int step) {
        const Editor& e = *editor;
        const Scene& scene = e.scene;
        // Each in-use slot's cube is one of the model's, in a cell no other cube holds, with its look.
        size_t seen = 0;
        for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
            const CubeRecord& cube = scene.cubes[slot];
            if (cube.inUse == 0)
                continue;
            const int cell = Index(CellOf(cube));
            const auto model = reference.cells.find(cell);
            ASSERT_TRUE(model != reference.cells.end()) << "a cube the model lacks at step " << step;
            ASSERT_TRUE(model->second == (Look{cube.textured, cube.colour, cube.cellColumn, cube.cellRow}))
                << "a cube's look at step " << step;
            ASSERT_EQ(scene.grid[cell], 1) << "step " << step;
            ASSERT_EQ(marks[cell], 0) << "two cubes in one cell at step " << step;
            marks[cell] = 1;
            ++seen;
        }
        for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot)
            marks[Index(CellOf(scene.cubes[slot]))] = 0;
        ASSERT_EQ(seen, reference.cells.size()) << "step " << step;
        ASSERT_EQ(scene.liveCubeCount, static_cast<int32_t>(seen)) << "step " << step;
        // No grid byte without its cube, looked for over the whole grid now and then.
        if (step % 50 == 0) {
            ASSERT_EQ(static_cast<size_t>(std::count(scene.grid, scene.grid + kGridCells, 1)), seen) << "step " << step;
        }
        const ReferenceHistory& h = reference.history;
        ASSERT_EQ(e.undo.undoAvailable, h.depth > 0) << "step " << step;
        ASSERT_EQ(e.undo.redoAvailable, h.depth < h.actions.size()) << "step " << step;
        ASSERT_EQ(e.undo.depth, static_cast<int32_t>(h.depth)) << "step " << step;
        ASSERT_EQ(e.undo.keptEdits, h.kept) << "step " << step;
        ASSERT_TRUE(e.undo.nextEdit >= 0 && e.undo.nextEdit < kUndoEditCapacity) << "step " << step;
        ASSERT_EQ(e.cannotCreate, reference.cannotCreate) << "step " << step;
        ASSERT_EQ(e.selection.active, reference.selected) << "step " << step;
        ASSERT_TRUE(!e.selection.active || (e.selection.box.low == reference.selection.low &&
                                            e.selection.box.high == reference.selection.high))
            << "the selection's box at step " << step;
    }
};

}  // namespace

TEST(EditorModel, RandomEditsUndoAndRedoMatchAPlainModel) {
    const char* steps = std::getenv("BLOKKENVELD_MODEL_STEPS");
    const int count = steps != nullptr ? std::atoi(steps) : 3000;
    ModelRun run(20261208);
    for (int step = 0; step < count; ++step) {
        run.Step();
        run.Check(step);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(run.reference.history.droppedForRoom, 0) << "the run never filled the ring of edits";
}
