#include <gtest/gtest.h>

#include "editor/tools.h"
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
