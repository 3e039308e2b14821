#include <gtest/gtest.h>

#include "editor/editing/tools.h"
#include "fake_platform.h"

TEST(LargeActions, MirroredClicksAndBoxesFindTheirSlots) {
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    Scene& scene = editor->scene;
    // Every slot used once by a block from (20, 20, 20) to (44, 39, 39), then four freed again.
    for (int slot = 1; slot < kMaxCubes; ++slot)
        PlaceCube(scene, slot, 20 + slot / 400, 20 + slot / 20 % 20, 20 + slot % 20);
    const int freed[] = {0, 3000, 5000, 9999};
    editor->tool = EditTool::Delete;
    for (int slot : freed)
        ApplyTool(*editor, slot, 0);
    // Adds take the lowest free slots in turn: a box (one cell occupied), then a click mirrored in x = 100.
    editor->tool = EditTool::Add;
    ApplyBox(*editor, BoxBetween({20, 20, 39}, {20, 20, 41}));
    editor->mirror.on[0] = true;
    ApplyTool(*editor, 3000, kSidePlusZ);
    const float x[] = {20, 20, 20, 180}, z[] = {40, 41, 42, 42};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(scene.cubes[freed[i]].x == x[i] && scene.cubes[freed[i]].z == z[i]) << "slot " << freed[i];
    // A paint mirrored in the block's middle planes: the cube at (21, 21, 21) and its images but the one deleted.
    editor->mirror.on[0] = false;
    editor->tool = EditTool::Delete;
    ApplyTool(*editor, 438, 0);  // (21, 21, 38)
    editor->mirror = MirrorState{{true, true, true}, {64, 59, 59}};
    editor->tool = EditTool::Paint;
    editor->currentColour = 0xFF123456u;
    ApplyTool(*editor, 421, 0);
    int painted = 0;
    for (const CubeRecord& cube : scene.cubes)
        painted += cube.colour == 0xFF123456u;
    EXPECT_EQ(painted, 7);
    editor->tool = EditTool::Add;  // a later action searches from the first slot again
    ApplyTool(*editor, 0, kSidePlusY);
    EXPECT_EQ(scene.cubes[438].y, 21.0f);
}

TEST(LargeActions, TheCellSlotTableNeverGivesAStaleSlot) {
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    Scene& scene = editor->scene;
    editor->tool = EditTool::Add;
    for (int slot = 0; slot < 5; ++slot)
        ApplyTool(*editor, slot, kSidePlusX);  // x = 101..105 in slots 1..5
    const Cell cells[] = {{103, 100, 100}, {150, 100, 100}};
    int32_t slots[2];
    FindSlots(scene, editor->cellSlots, cells, 2, slots);
    EXPECT_EQ(slots[0], 3);
    EXPECT_EQ(slots[1], -1);
    // The scene changes as a file load changes it, behind the table's back: slot 3 now holds the cube at x = 150
    // and slot 7 the one at x = 103.
    scene.cubes[3].x = 150.0f;
    scene.grid[Scene::GridIndex(150, 100, 100)] = 1;
    PlaceCube(scene, 7, 103, 100, 100);
    scene.highestUsedSlot = 7;
    FindSlots(scene, editor->cellSlots, cells, 2, slots);
    EXPECT_EQ(slots[0], 7);
    EXPECT_EQ(slots[1], 3);
    // Adding and undoing at one cell, each time in a new slot, does not pile entries up.
    const int32_t taken = editor->cellSlots.taken;
    for (int i = 0; i < 300; ++i) {
        ApplyTool(*editor, 0, kSidePlusY);
        editor->undo.doUndo = true;
        UndoApplyStep(*editor);
    }
    EXPECT_LE(editor->cellSlots.taken, taken + 1);
}
