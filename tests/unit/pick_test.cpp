#include "editor/view/pick.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "fake_platform.h"

namespace {

bool Same(const PickState& a, const PickState& b) {
    return a.held == b.held && a.slot == b.slot && a.side == b.side &&
           std::memcmp(&a.distance, &b.distance, sizeof(float)) == 0;
}

}  // namespace

TEST(Pick, OnlyTheFaceTurnedTowardsTheViewerIsHit) {
    auto scene = EmptyScene();
    PlaceCube(*scene, 0, 100, 100, 100);
    // Looking along +z through the cube: its -z side faces the eye, its +z side faces away.
    const PickState hit = Pick(*scene, {{100.5f, 100.5f, 95.0f}, {100.5f, 100.5f, 105.0f}});
    EXPECT_TRUE(hit.held);
    EXPECT_EQ(hit.side, kSideMinusZ);
    EXPECT_FLOAT_EQ(hit.distance, 5.0f);
    // Looking along -z from the other side.
    const PickState back = Pick(*scene, {{100.5f, 100.5f, 106.0f}, {100.5f, 100.5f, 96.0f}});
    EXPECT_EQ(back.side, kSidePlusZ);
    EXPECT_TRUE(Pick(*scene, {{100.5f, 100.5f, -201.0f}, {100.5f, 100.5f, 99.0f}}).held);  // past the ray's end
    // From inside the cube every side faces away.
    EXPECT_FALSE(Pick(*scene, {{100.5f, 100.5f, 100.5f}, {100.5f, 100.5f, 110.0f}}).held);
}

// Through a point on the extension of a face's diagonal or of its first edge, the triangle tests alone would
// accept the face, though the line passes it by.
TEST(Pick, AFaceTheLineMissesIsNeverHit) {
    auto scene = EmptyScene();
    PlaceCube(*scene, 0, 100, 100, 100);
    // Side 0's diagonal runs from (100, 100) to (101, 101) in the plane z = 100; its first edge along y = 100.
    EXPECT_FALSE(Pick(*scene, {{98.0f, 98.0f, 90.0f}, {98.0f, 98.0f, 110.0f}}).held);
    EXPECT_FALSE(PickEveryCube(*scene, {{98.0f, 98.0f, 90.0f}, {98.0f, 98.0f, 110.0f}}).held);
    EXPECT_FALSE(PickEveryCube(*scene, {{95.0f, 100.0f, 90.0f}, {95.0f, 100.0f, 110.0f}}).held);
    // On the face's own edge it is hit.
    EXPECT_EQ(PickEveryCube(*scene, {{100.5f, 100.0f, 90.0f}, {100.5f, 100.0f, 110.0f}}).side, kSideMinusZ);
}

TEST(Pick, NearerFaceWinsWhateverTheSlotOrder) {
    for (int order = 0; order < 2; ++order) {
        auto scene = EmptyScene();
        PlaceCube(*scene, order, 100, 100, 100);
        PlaceCube(*scene, 1 - order, 100, 100, 103);
        const PickState hit = Pick(*scene, {{100.5f, 100.5f, 90.0f}, {100.5f, 100.5f, 110.0f}});
        EXPECT_TRUE(hit.held);
        EXPECT_EQ(hit.slot, order);
        EXPECT_FLOAT_EQ(hit.distance, 10.0f);
    }
}

// An intersection closer than 1.5 to the ray start is taken but never held: a farther face visited after it
// becomes the hit, one visited before it is dropped with it.
TEST(Pick, IntersectionsNearTheEyeAreNeverHeld) {
    const PickRay ray = {{100.5f, 100.5f, 99.0f}, {100.5f, 100.5f, 120.0f}};
    auto nearFirst = EmptyScene();
    PlaceCube(*nearFirst, 0, 100, 100, 100);  // its -z side is 1.0 away
    PlaceCube(*nearFirst, 1, 100, 100, 105);
    PickState hit = Pick(*nearFirst, ray);
    EXPECT_TRUE(hit.held);
    EXPECT_EQ(hit.slot, 1);

    auto farFirst = EmptyScene();
    PlaceCube(*farFirst, 0, 100, 100, 105);
    PlaceCube(*farFirst, 1, 100, 100, 100);
    hit = Pick(*farFirst, ray);
    EXPECT_FALSE(hit.held);
    EXPECT_EQ(hit.slot, 1);
}

// The fast pick must give the described loop's result bit for bit: random scenes and rays, many of them on
// cube edges and corners, near the eye, and at the border of the grid.
TEST(Pick, SkippingFarCubesNeverChangesTheResult) {
    std::mt19937 random(20261207);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto scene = EmptyScene();
    int held = 0;
    constexpr int kRays = 100000;
    for (int ray = 0; ray < kRays; ++ray) {
        if (ray % 200 == 0) {
            scene = EmptyScene();
            // A cluster somewhere, sometimes against the grid's border, sometimes on fractional positions.
            const int cornerCase = ray / 200 % 4;
            const float base = cornerCase == 0 ? 0.0f : cornerCase == 1 ? 192.0f : 100.0f;
            for (int slot = 0; slot < 24; ++slot) {
                float p[3];
                for (float& c : p)
                    c = base + static_cast<float>(random() % 8);
                if (cornerCase == 3)
                    p[random() % 3] += 0.5f;
                CubeRecord& cube = PlaceCube(*scene, slot, p[0], p[1], p[2]);
                if (random() % 7 == 0)
                    cube.inUse = 0;
            }
        }
        const float base = scene->cubes[0].x;
        Vec3 start, end;
        switch (ray % 3) {
            case 0:  // anywhere near the cluster, any direction and length
                start = {base - 4 + 16 * unit(random), base - 4 + 16 * unit(random), base - 4 + 16 * unit(random)};
                end = {start.x + 40 * (unit(random) - 0.5f), start.y + 40 * (unit(random) - 0.5f),
                       start.z + 40 * (unit(random) - 0.5f)};
                break;
            case 1: {  // through a lattice line or corner: faces tie along edges
                const float grid[3] = {std::floor(base + 8 * unit(random)), std::floor(base + 8 * unit(random)),
                                       std::floor(base + 8 * unit(random))};
                start = {grid[0] + (random() % 2 ? 0.5f : 0.0f), grid[1], grid[2] - 6.0f};
                end = {start.x + static_cast<float>(random() % 3) - 1, start.y + static_cast<float>(random() % 3) - 1,
                       start.z + 12.0f};
                break;
            }
            default:  // from within 1.5 of a face, long and short lines
                start = {base + 8 * unit(random), base + 8 * unit(random), base + 8 * unit(random)};
                const float length = random() % 2 ? 300.0f : 0.01f;
                end = {start.x + length * (unit(random) - 0.5f), start.y + length * (unit(random) - 0.5f),
                       start.z + length * (unit(random) - 0.5f)};
                break;
        }
        const PickRay pickRay = {start, end};
        const PickState expected = PickEveryCube(*scene, pickRay);
        const PickState fast = Pick(*scene, pickRay);
        ASSERT_TRUE(Same(expected, fast)) << "ray " << ray << " from " << start.x << "," << start.y << "," << start.z
                                          << " to " << end.x << "," << end.y << "," << end.z;
        held += expected.held;
    }
    EXPECT_GT(held, kRays / 10);  // the cases do hit something
}

TEST(Pick, RayFromTheCursorRunsThroughWhatIsDrawnThere) {
    EditorRig rig;
    rig.Frame();
    const Vec3 centre = ScreenOf(*rig.editor, {100.5f, 101.0f, 100.5f});
    const PickRay ray = MakePickRay(static_cast<int32_t>(std::lround(centre.x)),
                                    static_cast<int32_t>(std::lround(centre.y)), rig.editor->view);
    const PickState hit = Pick(rig.editor->scene, ray);
    EXPECT_TRUE(hit.held);
    EXPECT_EQ(hit.side, kSidePlusY);
}
