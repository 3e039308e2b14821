#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

int CountInUse(const Scene& scene) {
    int n = 0;
    for (int i = 0; i <= scene.highestUsedSlot; ++i)
        n += scene.cubes[i].inUse == 1;
    return n;
}

}  // namespace

TEST(Scene, FirstFrameLeavesOneWhiteStartCube) {
    EditorRig rig;
    rig.Frame();
    const Scene& scene = rig.editor->scene;
    EXPECT_EQ(scene.highestUsedSlot, 0);
    EXPECT_EQ(scene.liveCubeCount, 1);
    EXPECT_EQ(CountInUse(scene), 1);
    EXPECT_EQ(CountOccupied(scene), 1);
    const CubeRecord& cube = scene.cubes[0];
    EXPECT_EQ(cube.x, 100.0f);
    EXPECT_EQ(cube.y, 100.0f);
    EXPECT_EQ(cube.z, 100.0f);
    EXPECT_EQ(cube.textured, 0);
    EXPECT_EQ(cube.colour, kWhite);
    EXPECT_EQ(scene.grid[Scene::GridIndex(100, 100, 100)], 1);
    for (uint8_t exposed : cube.faceExposed)
        EXPECT_EQ(exposed, 1);
    EXPECT_FALSE(rig.editor->newSceneRequest);
}

TEST(Scene, ResetWithoutRequestChangesNothing) {
    EditorRig rig;
    rig.Frame();
    PlaceCube(rig.editor->scene, 1, 101, 100, 100);
    rig.editor->ResetScene();
    EXPECT_EQ(rig.editor->scene.highestUsedSlot, 1);
    EXPECT_EQ(rig.editor->scene.grid[Scene::GridIndex(101, 100, 100)], 1);
}

TEST(Scene, StartNewSceneEmptiesOnTheNextFrame) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    PlaceCube(editor.scene, 1, 101, 100, 100);
    UndoEntry entry{};
    RecordEdit(editor.undo, kUndoAdd, entry);
    editor.modified = editor.named = true;

    editor.StartNewScene();
    EXPECT_EQ(editor.scene.liveCubeCount, 1);
    EXPECT_FALSE(editor.modified);
    EXPECT_FALSE(editor.named);
    EXPECT_FALSE(editor.undo.undoAvailable);
    EXPECT_FALSE(editor.undo.redoAvailable);
    EXPECT_EQ(editor.undo.depth, 0);
    EXPECT_EQ(editor.undo.ringPosition, 0);
    // The scene itself is still there until the frame update runs.
    EXPECT_EQ(editor.scene.highestUsedSlot, 1);

    rig.Frame();
    EXPECT_EQ(editor.scene.highestUsedSlot, 0);
    EXPECT_EQ(CountOccupied(editor.scene), 1);
    EXPECT_EQ(CountInUse(editor.scene), editor.scene.liveCubeCount);
    EXPECT_FALSE(rig.platform.menuEnabled[kUndoCommand]);
    EXPECT_FALSE(rig.platform.menuEnabled[kRedoCommand]);
}

TEST(Scene, FaceExposureFollowsTheGridEveryFrame) {
    EditorRig rig;
    rig.Frame();
    Scene& scene = rig.editor->scene;
    for (int side = 0; side < kSideCount; ++side)
        PlaceCube(scene, side + 1, 100 + kSideOffset[side][0], 100 + kSideOffset[side][1], 100 + kSideOffset[side][2]);
    rig.Frame();
    for (uint8_t exposed : scene.cubes[0].faceExposed)
        EXPECT_EQ(exposed, 0);

    // Removing one neighbour exposes exactly that side.
    for (int side = 0; side < kSideCount; ++side) {
        CubeRecord& neighbour = scene.cubes[side + 1];
        neighbour.inUse = 0;
        scene.grid[Scene::GridIndex(static_cast<int>(neighbour.x), static_cast<int>(neighbour.y),
                                    static_cast<int>(neighbour.z))] = 0;
        rig.Frame();
        for (int k = 0; k < kSideCount; ++k)
            EXPECT_EQ(scene.cubes[0].faceExposed[k], k <= side ? 1 : 0) << "side " << side << " flag " << k;
    }
}

TEST(Scene, CubesAtTheGridEdgeShowTheirOuterFaces) {
    auto editor = std::make_unique<Editor>();
    Scene& scene = editor->scene;
    scene.highestUsedSlot = -1;
    scene.liveCubeCount = 0;
    PlaceCube(scene, 0, 0, 0, 0);
    PlaceCube(scene, 1, 199, 199, 199);
    UpdateFaceExposure(scene);
    for (int slot = 0; slot < 2; ++slot)
        for (uint8_t exposed : scene.cubes[slot].faceExposed)
            EXPECT_EQ(exposed, 1);
}

TEST(Scene, SplitColourIgnoresAlpha) {
    const ColourParts white = SplitColour(0xFFFFFFFF);
    EXPECT_EQ(white.red, 255);
    EXPECT_EQ(white.green, 255);
    EXPECT_EQ(white.blue, 255);
    const ColourParts a = SplitColour(0x00123456);
    const ColourParts b = SplitColour(0xFF123456);
    EXPECT_EQ(a.red, 0x12);
    EXPECT_EQ(a.green, 0x34);
    EXPECT_EQ(a.blue, 0x56);
    EXPECT_EQ(a.red, b.red);
    EXPECT_EQ(a.green, b.green);
    EXPECT_EQ(a.blue, b.blue);
}

TEST(Scene, ExtentCoversTheCubesInUseWhereverTheyLie) {
    auto scene = std::make_unique<Scene>();
    float low[3], high[3];
    EXPECT_FALSE(SceneExtent(*scene, low, high));
    // Even and odd slots, a free slot further out, a last slot alone and a cube past the highest used slot.
    const int cubes[6][3] = {{9, 9, 9}, {5, 12, 6}, {99, 0, 99}, {15, 8, 7}, {9, 99, 1}, {199, 199, 199}};
    for (int slot = 0; slot < 6; ++slot)
        PlaceCube(*scene, slot, cubes[slot][0], cubes[slot][1], cubes[slot][2]).inUse = slot != 2;
    scene->highestUsedSlot = 4;
    ASSERT_TRUE(SceneExtent(*scene, low, high));
    EXPECT_EQ((std::vector<float>{low[0], low[1], low[2], high[0], high[1], high[2]}),
              (std::vector<float>{5, 8, 1, 16, 100, 10}));
}
