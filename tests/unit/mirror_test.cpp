// Mirror editing and box strokes: which cells an edit reaches, what a box does at its limits, and that each click,
// mirrored click or box is one undo step in a history of fixed size.
#include <gtest/gtest.h>

#include <vector>

#include "editor/editor.h"
#include "editor/editing/tools.h"
#include "fake_platform.h"

namespace {

std::vector<Cell> Images(const MirrorState& mirror, Cell cell) {
    Cell out[kMaxMirrorImages];
    const int count = MirrorImages(mirror, cell, out);
    return std::vector<Cell>(out, out + count);
}

MirrorState Mirror(bool x, bool y, bool z, int32_t sumX = 200, int32_t sumY = 200, int32_t sumZ = 200) {
    MirrorState mirror;
    mirror.on[0] = x;
    mirror.on[1] = y;
    mirror.on[2] = z;
    mirror.sum[0] = sumX;
    mirror.sum[1] = sumY;
    mirror.sum[2] = sumZ;
    return mirror;
}

void Undo(Editor& editor) {
    editor.undo.doUndo = true;
    UndoApplyStep(editor);
}

void Redo(Editor& editor) {
    editor.undo.doRedo = true;
    UndoApplyStep(editor);
}

}  // namespace

TEST(Mirror, ImagesOnOddAndEvenPlanesEachAxisAndTheirCombinations) {
    // Odd: through the middle of cell 100, which is its own image; even: along the face between 100 and 101.
    EXPECT_EQ(Images(Mirror(true, false, false), {98, 5, 7}), (std::vector<Cell>{{98, 5, 7}, {102, 5, 7}}));
    EXPECT_EQ(Images(Mirror(true, false, false), {100, 5, 7}), (std::vector<Cell>{{100, 5, 7}}));
    EXPECT_EQ(Images(Mirror(false, true, false, 200, 201), {5, 100, 7}), (std::vector<Cell>{{5, 100, 7}, {5, 101, 7}}));
    EXPECT_EQ(Images(Mirror(false, false, true, 200, 200, 9), {5, 7, 0}), (std::vector<Cell>{{5, 7, 0}, {5, 7, 9}}));
    EXPECT_EQ(Images(Mirror(true, false, true), {99, 5, 98}).size(), 4u);
    EXPECT_EQ(Images(Mirror(true, true, true), {99, 98, 97}).size(), 8u);
    EXPECT_EQ(Images(Mirror(true, true, true), {99, 100, 97}).size(), 4u) << "on the Y plane: no Y image";
    // At the grid's edge an image that falls outside is left out, the others stay.
    EXPECT_EQ(Images(Mirror(true, false, true, 200, 200, 150), {0, 5, 100}),
              (std::vector<Cell>{{0, 5, 100}, {0, 5, 50}}));
    EXPECT_EQ(Images(Mirror(true, false, false, 397), {199, 5, 5}), (std::vector<Cell>{{199, 5, 5}, {198, 5, 5}}));
}

TEST(Mirror, BoxesAreMirroredAsWholesClippedToTheGridAndACentredBoxIsItsOwnImage) {
    CellBox out[kMaxMirrorImages];
    ASSERT_EQ(MirrorBoxes(Mirror(true, false, false), BoxBetween({99, 3, 3}, {97, 1, 1}), out), 2);
    EXPECT_TRUE(out[0].low == (Cell{97, 1, 1}) && out[0].high == (Cell{99, 3, 3}));
    EXPECT_TRUE(out[1].low == (Cell{101, 1, 1}) && out[1].high == (Cell{103, 3, 3}));
    EXPECT_EQ(MirrorBoxes(Mirror(true, false, false), BoxBetween({99, 3, 3}, {101, 1, 1}), out), 1);
    ASSERT_EQ(MirrorBoxes(Mirror(true, false, false, 250), BoxBetween({40, 0, 0}, {60, 0, 0}), out), 2);
    EXPECT_TRUE(out[1].low == (Cell{190, 0, 0}) && out[1].high == (Cell{199, 0, 0})) << "cut at the grid's end";
}

TEST(Mirror, TheCentreMovesToACubeAndAFaceLaysItsPlane) {
    MirrorState mirror;
    CentreMirrorOn(mirror, {10, 20, 30});
    EXPECT_EQ(mirror.sum[0], 20);
    EXPECT_EQ(mirror.sum[2], 60);
    EXPECT_FALSE(mirror.Any()) << "moving the centre switches nothing on";
    MirrorAlongFace(mirror, {10, 20, 30}, kSidePlusX);
    MirrorAlongFace(mirror, {10, 20, 30}, kSideMinusY);
    EXPECT_EQ(mirror.sum[0], 21);
    EXPECT_EQ(mirror.sum[1], 39);
    EXPECT_EQ(mirror.sum[2], 60);
    EXPECT_TRUE(mirror.on[0] && mirror.on[1] && !mirror.on[2]);
}

TEST(Mirror, AMirroredClickIsOneStepAndSkipsWhatCannotBeDone) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    editor.mirror = Mirror(true, false, false);
    ApplyTool(editor, 0, kSidePlusX);  // the start cube's +x face: 101 and its image 99
    EXPECT_EQ(editor.scene.liveCubeCount, 3);
    EXPECT_TRUE(editor.scene.Occupied(99, 100, 100) && editor.scene.Occupied(101, 100, 100));
    EXPECT_EQ(editor.undo.depth, 1);
    Undo(editor);
    EXPECT_EQ(editor.scene.liveCubeCount, 1);
    Redo(editor);
    EXPECT_EQ(editor.scene.liveCubeCount, 3);
    // Delete through the image side: both go; the cube on the plane, its own image, goes once.
    editor.tool = EditTool::Delete;
    ApplyTool(editor, 1, kSidePlusY);
    EXPECT_EQ(editor.scene.liveCubeCount, 1);
    EXPECT_EQ(editor.undo.depth, 2);
    // An image beyond the add range is skipped and the click still adds: x = 198's image of cell 2 is 198.
    editor.tool = EditTool::Add;
    editor.mirror = Mirror(true, false, false, 2);
    PlaceCube(editor.scene, 5, 1, 100, 100);
    ApplyTool(editor, 5, kSidePlusY);  // (1, 101, 100) and its image (1, 101, 100): itself
    ApplyTool(editor, 5, kSideMinusX);  // (0, ...) refused; its image (2, 100, 100) is added
    EXPECT_FALSE(editor.cannotCreate) << "the click added a cube: no limit warning";
    EXPECT_TRUE(editor.scene.Occupied(2, 100, 100));
    EXPECT_FALSE(editor.scene.Occupied(0, 100, 100));
    editor.mirror = Mirror(true, false, false, 0);
    ApplyTool(editor, 5, kSideMinusX);  // (0, ...) is its own image: nothing could go
    EXPECT_TRUE(editor.cannotCreate);
    // An image at the grid's last cell, outside the add range on its own axis, is skipped.
    editor.mirror = Mirror(false, false, true);
    PlaceCube(editor.scene, 6, 5, 5, 0);
    ApplyTool(editor, 6, kSidePlusZ);
    EXPECT_TRUE(editor.scene.Occupied(5, 5, 1));
    EXPECT_FALSE(editor.scene.Occupied(5, 5, 199));
}

TEST(Mirror, BoxStrokesFillEmptyCellsRefuseWhatWouldOverflowAndUndoAsOneStep) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    editor.mirror = Mirror(true, false, false);
    ApplyBox(editor, BoxBetween({101, 100, 100}, {103, 101, 100}));  // 6 cells and 6 images
    EXPECT_EQ(editor.scene.liveCubeCount, 13);
    EXPECT_TRUE(editor.scene.Occupied(97, 101, 100));
    EXPECT_EQ(editor.undo.depth, 1);
    // Over the start cube: only the empty cells are filled.
    editor.mirror = MirrorState{};
    ApplyBox(editor, BoxBetween({100, 100, 99}, {100, 100, 101}));
    EXPECT_EQ(editor.scene.liveCubeCount, 15);
    // A box the array cannot take is refused whole, the 10,000 cubes reached exactly is not.
    for (int32_t i = 0; editor.scene.liveCubeCount < kMaxCubes - 5; ++i)
        PlaceCube(editor.scene, editor.scene.highestUsedSlot + 1, 10 + i % 50, 10 + i / 50 % 50, 10 + i / 2500);
    const int32_t before = editor.scene.liveCubeCount;
    ApplyBox(editor, BoxBetween({150, 150, 150}, {155, 150, 150}));
    EXPECT_EQ(editor.scene.liveCubeCount, before);
    EXPECT_TRUE(editor.cannotCreate);
    EXPECT_EQ(editor.undo.depth, 2);
    ApplyBox(editor, BoxBetween({150, 150, 150}, {154, 150, 150}));
    EXPECT_EQ(editor.scene.liveCubeCount, kMaxCubes);
    EXPECT_FALSE(editor.cannotCreate);
    // Delete and paint reach every cube in the box; undo takes the whole box back.
    editor.tool = EditTool::Paint;
    editor.currentColour = 0xFF00FF00u;
    ApplyBox(editor, BoxBetween({0, 0, 0}, {199, 199, 199}));
    EXPECT_EQ(editor.scene.cubes[0].colour, 0xFF00FF00u);
    editor.tool = EditTool::Delete;
    ApplyBox(editor, BoxBetween({0, 0, 0}, {199, 199, 199}));
    EXPECT_EQ(editor.scene.liveCubeCount, 1) << "the last cube stays";
    Undo(editor);
    EXPECT_EQ(editor.scene.liveCubeCount, kMaxCubes);
    Undo(editor);
    EXPECT_EQ(editor.scene.cubes[0].colour, kWhite);
}

TEST(Mirror, TheHistoryDropsTheOldestActionsWhenTheirEditsDoNotFitAndKeepsTheNewestWhole) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    for (int32_t i = 1; i < kMaxCubes; ++i)
        PlaceCube(editor.scene, i, 10 + i % 100, 10 + i / 100, 10);
    editor.tool = EditTool::Paint;
    const uint32_t colours[] = {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u};
    for (const uint32_t colour : colours) {
        editor.currentColour = colour;
        ApplyBox(editor, BoxBetween({0, 0, 0}, {199, 199, 199}));  // 10,000 edits each
    }
    // Three boxes fit the ring of 30,000 edits: the fourth pushed the first out.
    EXPECT_EQ(editor.undo.depth, kUndoEditCapacity / kMaxCubes);
    for (int i = 0; i < 3; ++i)
        Undo(editor);
    EXPECT_EQ(editor.scene.cubes[kMaxCubes - 1].colour, colours[0]) << "back to after the first box, whole";
    EXPECT_FALSE(editor.undo.undoAvailable);
    for (int i = 0; i < 3; ++i)
        Redo(editor);
    EXPECT_EQ(editor.scene.cubes[5].colour, colours[3]);

    // An add keeps its cube from the moment it is undone: a slot freed by a delete and taken by the add comes back
    // right through undoing both and redoing both.
    editor.tool = EditTool::Delete;
    ApplyTool(editor, 5, kSidePlusY);
    editor.tool = EditTool::Add;
    editor.currentColour = 0xFF0000FFu;
    ApplyTool(editor, kMaxCubes - 1, kSidePlusZ);
    const CubeRecord added = editor.scene.cubes[5];
    EXPECT_EQ(added.z, 11.0f) << "the freed slot is taken";
    Undo(editor);
    Undo(editor);
    Redo(editor);
    Redo(editor);
    EXPECT_EQ(editor.scene.cubes[5].z, added.z);
    EXPECT_EQ(editor.scene.cubes[5].colour, added.colour);
    EXPECT_TRUE(editor.scene.Occupied(static_cast<int>(added.x), static_cast<int>(added.y), 11));
}

TEST(Mirror, AnAddBoxAcrossTheEndOfTheRingIsUndoneAndRedoneWhole) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    editor.undo.nextEdit = kUndoEditCapacity - 10;  // an empty history may start anywhere in the ring
    editor.tool = EditTool::Add;
    ApplyBox(editor, BoxBetween({101, 100, 100}, {110, 109, 109}));
    ASSERT_EQ(editor.scene.liveCubeCount, 1001);
    Undo(editor);
    EXPECT_EQ(editor.scene.liveCubeCount, 1);
    EXPECT_FALSE(editor.scene.Occupied(101, 100, 100));
    Redo(editor);
    EXPECT_EQ(editor.scene.liveCubeCount, 1001);
    EXPECT_TRUE(editor.scene.Occupied(110, 109, 109));
}

TEST(Mirror, AShiftDragSpansABoxAndEscDropsIt) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    // The start cube's top face at the press and at the release: a one-cell box above it.
    const Vec3 top = ScreenOf(editor, {100.5f, 101.0f, 100.5f});
    rig.flags.cursorX = static_cast<int32_t>(top.x);
    rig.flags.cursorY = static_cast<int32_t>(top.y);
    rig.Hold(kKeyShift);
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    EXPECT_TRUE(editor.box.active);
    EXPECT_EQ(editor.scene.liveCubeCount, 1) << "the press itself adds nothing";
    EXPECT_GT(editor.guides.lineCount, 0);
    rig.Hold(kKeyEscape);
    rig.Frame();
    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_EQ(editor.scene.liveCubeCount, 1) << "dropped";
    rig.Release(kKeyEscape);
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_EQ(editor.scene.liveCubeCount, 2);
    EXPECT_TRUE(editor.scene.Occupied(100, 101, 100));
    // The menu's mirror commands act where the cursor last was over the view, never beyond its edge.
    rig.flags.cursorX = 5000;
    rig.Frame();
    EXPECT_EQ(editor.viewCursorX, static_cast<int32_t>(top.x));
}

// A box of exactly 10,000 cells around the start cube fills the array; one of 10,001 cells is refused before any
// cell is looked at. A box still being dragged when New empties the scene is dropped, not applied to the new one.
TEST(Mirror, ABoxOfTheArraysSizeAndABoxHeldAcrossNew) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    ApplyBox(editor, BoxBetween({51, 51, 100}, {151, 150, 100}));
    EXPECT_TRUE(editor.cannotCreate);
    EXPECT_EQ(editor.scene.liveCubeCount, 1);
    ApplyBox(editor, BoxBetween({51, 51, 100}, {150, 150, 100}));
    EXPECT_FALSE(editor.cannotCreate);
    EXPECT_EQ(editor.scene.liveCubeCount, kMaxCubes);

    editor.box = BoxStroke{true, {101, 100, 100}, {103, 100, 100}};
    rig.Hold(kKeyLeftButton);
    editor.StartNewScene();
    rig.Frame();
    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_EQ(editor.scene.liveCubeCount, 1);
    EXPECT_FALSE(editor.scene.Occupied(101, 100, 100));
}
