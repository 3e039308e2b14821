#include <gtest/gtest.h>

#include "editor/editing/tools.h"
#include "fake_platform.h"

namespace {

// A rig after its first frames: the start cube stands, the view is recorded and the status strip measured.
struct EditRig : EditorRig {
    EditRig() {
        Frame();
        Frame();
        editor->statusWindow.rect = {0, 0, 800, 600};
    }
    Scene& scene() { return editor->scene; }
    int32_t Depth() const { return editor->undo.depth; }
};

}  // namespace

TEST(Editing, ClickOnTheTopFaceOfTheStartCubeAddsAboveIt) {
    EditRig rig;
    const Vec3 top = ScreenOf(*rig.editor, {100.5f, 101.0f, 100.5f});
    ClickAt(rig, static_cast<int32_t>(top.x), static_cast<int32_t>(top.y));
    const Scene& scene = rig.scene();
    ASSERT_EQ(scene.liveCubeCount, 2);
    EXPECT_EQ(scene.highestUsedSlot, 1);
    const CubeRecord& cube = scene.cubes[1];
    EXPECT_EQ(cube.x, 100.0f);
    EXPECT_EQ(cube.y, 101.0f);
    EXPECT_EQ(cube.z, 100.0f);
    EXPECT_EQ(cube.colour, rig.editor->currentColour);
    EXPECT_EQ(scene.grid[Scene::GridIndex(100, 101, 100)], 1);
    EXPECT_EQ(scene.cubes[0].faceExposed[kSidePlusY], 0);  // refreshed in the same frame
    EXPECT_TRUE(rig.editor->modified);
    EXPECT_TRUE(rig.platform.menuEnabled[kUndoCommand]);
    EXPECT_FALSE(rig.platform.menuEnabled[kRedoCommand]);
}

TEST(Editing, AddStaysWithinTheRangeAndShowsTheWarningUntilAnAddPassesIt) {
    struct Case {
        float x, y, z;
        int side;
        bool accepted;
    };
    const Case cases[] = {
        {1, 50, 50, kSideMinusX, false}, {2, 50, 50, kSideMinusX, true},   {198, 50, 50, kSidePlusX, false},
        {197, 50, 50, kSidePlusX, true}, {50, 1, 50, kSideMinusY, false},  {50, 198, 50, kSidePlusY, false},
        {50, 50, 1, kSideMinusZ, false}, {50, 50, 198, kSidePlusZ, false}, {50, 50, 197, kSidePlusZ, true},
        {50, 2, 50, kSideMinusY, true},  {50, 197, 50, kSidePlusY, true},  {50, 50, 2, kSideMinusZ, true},
        {1, 1, 1, kSidePlusY, true},  // only the axis it moves along counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.z << " side " << c.side);
        EditRig rig;
        Editor& editor = *rig.editor;
        PlaceCube(rig.scene(), 1, c.x, c.y, c.z);
        ApplyTool(editor, 1, c.side);
        EXPECT_EQ(rig.scene().liveCubeCount, c.accepted ? 3 : 2);
        EXPECT_EQ(editor.cannotCreate, !c.accepted);
        EXPECT_EQ(editor.modified, c.accepted);
        if (c.accepted) {
            const CubeRecord& added = rig.scene().cubes[2];
            EXPECT_EQ(added.x, c.x + kSideOffset[c.side][0]);
            EXPECT_EQ(added.z, c.z + kSideOffset[c.side][2]);
        }
    }
    // The warning stays through an add onto an occupied cell only if that add fails the range check.
    EditRig rig;
    Editor& editor = *rig.editor;
    PlaceCube(rig.scene(), 1, 198, 100, 100);
    ApplyTool(editor, 1, kSidePlusX);
    ASSERT_TRUE(editor.cannotCreate);
    PlaceCube(rig.scene(), 2, 101, 100, 100);
    ApplyTool(editor, 0, kSidePlusX);  // onto the occupied (101, 100, 100): nothing added, warning gone
    EXPECT_FALSE(editor.cannotCreate);
    EXPECT_EQ(rig.scene().liveCubeCount, 3);
    EXPECT_EQ(rig.Depth(), 0);
}

TEST(Editing, AFilledArrayReusesTheLowestFreeSlotThenRefuses) {
    EditRig rig;
    Editor& editor = *rig.editor;
    Scene& scene = rig.scene();
    // Slots 0 to 9,999 used once, in a 25 x 20 x 20 block; two of them deleted again.
    scene.liveCubeCount = 1;
    for (int slot = 1; slot < kMaxCubes; ++slot)
        PlaceCube(scene, slot, 20.0f + static_cast<float>(slot / 400), 20.0f + static_cast<float>(slot / 20 % 20),
                  20.0f + static_cast<float>(slot % 20));
    editor.tool = EditTool::Delete;
    ApplyTool(editor, 7777, 0);
    ApplyTool(editor, 4242, 0);
    editor.tool = EditTool::Add;
    ApplyTool(editor, 0, kSidePlusX);
    EXPECT_EQ(scene.cubes[4242].inUse, 1);
    EXPECT_EQ(scene.cubes[4242].x, 101.0f);
    EXPECT_EQ(scene.cubes[7777].inUse, 0);
    ApplyTool(editor, 0, kSideMinusX);
    EXPECT_EQ(scene.cubes[7777].x, 99.0f);
    EXPECT_FALSE(editor.cannotCreate);
    ApplyTool(editor, 0, kSidePlusZ);
    EXPECT_TRUE(editor.cannotCreate);
    EXPECT_EQ(scene.liveCubeCount, kMaxCubes);
    EXPECT_EQ(scene.highestUsedSlot, kMaxCubes - 1);
    EXPECT_EQ(CountOccupied(scene), kMaxCubes);
}

TEST(Editing, DeleteKeepsTheLastCubeAndLeavesAHole) {
    EditRig rig;
    Editor& editor = *rig.editor;
    editor.tool = EditTool::Delete;
    ApplyTool(editor, 0, 0);
    EXPECT_EQ(rig.scene().liveCubeCount, 1);
    EXPECT_EQ(rig.scene().cubes[0].inUse, 1);
    EXPECT_EQ(rig.Depth(), 0);
    EXPECT_FALSE(editor.modified);

    PlaceCube(rig.scene(), 1, 101, 100, 100);
    ApplyTool(editor, 0, 0);
    EXPECT_EQ(rig.scene().cubes[0].inUse, 0);
    EXPECT_EQ(rig.scene().grid[Scene::GridIndex(100, 100, 100)], 0);
    EXPECT_EQ(rig.scene().highestUsedSlot, 1);
    EXPECT_EQ(rig.Depth(), 1);
    EXPECT_TRUE(editor.modified);
}

TEST(Editing, PaintRecordsOnlyWhatChanges) {
    EditRig rig;
    Editor& editor = *rig.editor;
    CubeRecord& cube = rig.scene().cubes[0];
    editor.tool = EditTool::Paint;
    editor.currentColour = kWhite;
    ApplyTool(editor, 0, 0);  // same colour, coloured: nothing
    EXPECT_EQ(rig.Depth(), 0);
    EXPECT_FALSE(editor.modified);

    // A textured cube is white too, and still takes a colour paint.
    cube.textured = 1;
    cube.cellColumn = 3;
    cube.cellRow = 4;
    ApplyTool(editor, 0, 0);
    EXPECT_EQ(rig.Depth(), 1);
    EXPECT_EQ(cube.textured, 0);
    EXPECT_EQ(cube.cellColumn, 3);
    EXPECT_TRUE(editor.modified);

    editor.textureMode = true;
    editor.textureColumn = 3;
    editor.textureRow = 4;
    ApplyTool(editor, 0, 0);  // same cell, but not textured yet
    EXPECT_EQ(rig.Depth(), 2);
    EXPECT_EQ(cube.textured, 1);
    ApplyTool(editor, 0, 0);  // now nothing changes
    EXPECT_EQ(rig.Depth(), 2);
    const UndoEntry& entry = editor.undo.entries[1];
    EXPECT_EQ(entry.texturedBefore, 0);
    EXPECT_EQ(entry.texturedAfter, 1);
    EXPECT_EQ(entry.cellRowAfter, 4);
}

TEST(Editing, PickColourCopiesIntoTheSelectedCellOnlyFromColouredCubes) {
    EditRig rig;
    Editor& editor = *rig.editor;
    editor.tool = EditTool::PickColour;
    editor.paletteIndex = 9;
    rig.scene().cubes[0].colour = 0xFF0A8214;
    ApplyTool(editor, 0, 0);
    EXPECT_EQ(editor.currentColour, 0xFF0A8214u);
    EXPECT_EQ(editor.palette[9], 0xFF0A8214u);
    EXPECT_EQ(editor.paintColourVertices[9 * 6].diffuse, 0xFF0A8214u);
    EXPECT_EQ(editor.paintColourVertices[64 * 6].diffuse, 0xFF0A8214u);
    EXPECT_EQ(editor.green, 0x82);
    EXPECT_EQ(editor.paintColourVertices[66 * 6 + 1].x, editor.paintWindow.x + 52 + 0x82 / 4);
    EXPECT_EQ(rig.Depth(), 0);

    rig.scene().cubes[0].textured = 1;
    rig.scene().cubes[0].colour = kWhite;
    ApplyTool(editor, 0, 0);
    EXPECT_EQ(editor.currentColour, 0xFF0A8214u);
}

// A refused menu undo must not come back: a redo request in the next frames makes undo possible again, and
// the old request would then undo what the user had just redone.
TEST(Editing, ARefusedMenuUndoIsDroppedNotKept) {
    EditRig rig;
    Editor& editor = *rig.editor;
    PlaceCube(rig.scene(), 1, 101, 100, 100);
    UndoEntry entry{};
    entry.slot = 1;
    entry.x = 101;
    entry.y = entry.z = 100;
    RecordEdit(editor.undo, kUndoAdd, entry);
    editor.undo.undoRequest = true;
    rig.Frame();  // undone
    ASSERT_EQ(rig.scene().cubes[1].inUse, 0);
    editor.undo.undoRequest = true;  // chosen before the greyed menu was drawn: refused
    rig.Frame();
    editor.undo.redoRequest = true;
    rig.Frame();  // redone
    ASSERT_EQ(rig.scene().cubes[1].inUse, 1);
    editor.undo.redoRequest = true;  // refused too; the busy flag stays up through this frame
    rig.Frame();
    rig.Frame();
    EXPECT_EQ(rig.scene().cubes[1].inUse, 1);
    EXPECT_EQ(rig.scene().liveCubeCount, 2);
}
