// The per-frame pass must leave flags and mesh exactly as face exposure followed by the standalone mesh build does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include "render/cube_mesh.h"

namespace {

enum class Layout {
    Rows,       // solid blocks listed row by row along either way of z or x, with holes, edges and odd slots
    Scattered,  // loose cubes, mostly showing all six faces, enough to fill several chunks
    Anywhere,   // cubes at, beyond and far outside the grid edges
};

struct SceneMaker {
    std::mt19937 random;
    Scene& scene;
    int slot = 0;

    int Below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

    CubeRecord& Add(float x, float y, float z) {
        CubeRecord& cube = scene.cubes[slot++];
        cube.x = x;
        cube.y = y;
        cube.z = z;
        cube.inUse = 1;
        const int kind = Below(10);
        cube.textured = kind < 6 ? 0 : kind < 9 ? 1 : static_cast<uint8_t>(2 + Below(3));
        cube.cellColumn = Below(8);
        cube.cellRow = Below(8);
        cube.colour = cube.textured ? kWhite : static_cast<uint32_t>(random());
        // Stale flags from some earlier frame: the pass must overwrite them or, for slots not in use, leave them.
        for (uint8_t& exposed : cube.faceExposed)
            exposed = static_cast<uint8_t>(Below(4) == 0 ? Below(3) : 0);
        const int cellX = static_cast<int>(x);
        const int cellY = static_cast<int>(y);
        const int cellZ = static_cast<int>(z);
        if (Scene::InGrid(cellX, cellY, cellZ) && Below(20) != 0)
            scene.grid[Scene::GridIndex(cellX, cellY, cellZ)] = 1;
        return cube;
    }

    // Now and then a slot that is free or in neither state, with whatever it held before.
    void MaybeOddSlot() {
        if (slot >= kMaxCubes || Below(25) != 0)
            return;
        CubeRecord& cube =
            Add(static_cast<float>(Below(200)), static_cast<float>(Below(200)), static_cast<float>(Below(200)));
        cube.inUse = Below(2) ? 0 : static_cast<uint8_t>(2 + Below(254));
        for (uint8_t& exposed : cube.faceExposed)
            exposed = static_cast<uint8_t>(Below(3));
    }

    void Rows() {
        while (slot < kMaxCubes) {
            const int x0 = Below(3) == 0 ? 190 + Below(10) : 1 + Below(190);
            const int y0 = Below(3) == 0 ? Below(3) * 99 : Below(200);
            const int z0 = Below(3) == 0 ? 170 + Below(30) : Below(200);
            const int width = 1 + Below(6);
            const int height = 1 + Below(6);
            // Rows of 15 to 18 and 31 to 33 cubes end next to where face exposure takes sixteen cubes at a time.
            const int nearRunLength[] = {15, 16, 17, 18, 31, 32, 33};
            const int depth = Below(2) ? nearRunLength[Below(7)] : 1 + Below(40);
            // Rows along +z, as a model built or read in grid order lists them, or along +x, -z or -x, as a turned
            // or flipped one does.
            const bool alongX = Below(2) == 0;
            const int sign = Below(2) == 0 ? 1 : -1;
            for (int across = 0; across < width; ++across) {
                for (int y = y0; y < y0 + height && y < kGridSize; ++y) {
                    const int x = alongX ? x0 : x0 + across;
                    const int z = alongX ? z0 + across : z0;
                    if (x >= kGridSize || z >= kGridSize)
                        continue;
                    const int from = alongX ? x : z;
                    const int room = sign > 0 ? kGridSize - from : from + 1;
                    int along = 0;
                    for (; along < depth && along < room && slot < kMaxCubes; ++along) {
                        // A whole-number row now and then broken by a cube off its cell's corner, or by a slot
                        // on the row that is free or in neither state.
                        const float off = Below(40) == 0 ? 0.5f : 0.0f;
                        const float at = static_cast<float>(from + sign * along) + off;
                        CubeRecord& cube = Add(alongX ? at : static_cast<float>(x), static_cast<float>(y),
                                               alongX ? static_cast<float>(z) : at);
                        if (Below(30) == 0)
                            cube.inUse = Below(2) ? 0 : static_cast<uint8_t>(2 + Below(254));
                        MaybeOddSlot();
                    }
                    // A row along z that ends at an edge: the cell past it in memory is the next or last row's.
                    if (!alongX && along == room && sign > 0 && y + 1 < kGridSize)
                        scene.grid[Scene::GridIndex(x, y + 1, 0)] = 1;
                    if (!alongX && along == room && sign < 0 && y > 0)
                        scene.grid[Scene::GridIndex(x, y - 1, kGridSize - 1)] = 1;
                }
            }
        }
    }

    void Scattered() {
        for (int n = 0; n < 8000 && slot < kMaxCubes; ++n) {
            Add(static_cast<float>(2 * Below(100)), static_cast<float>(2 * Below(100)),
                static_cast<float>(2 * Below(100)));
            MaybeOddSlot();
        }
    }

    void Anywhere() {
        const float edges[] = {-300.0f, -2.0f,  -1.0f,  -0.5f,  0.0f,   0.5f,   1.0f, 2.0f, 197.0f,
                               198.0f,  198.5f, 199.0f, 199.5f, 200.0f, 201.0f, 1e9f, -1e9f};
        auto coordinate = [&] {
            return Below(2) ? edges[Below(static_cast<int>(sizeof(edges) / sizeof(edges[0])))]
                            : static_cast<float>(Below(200));
        };
        while (slot < 3000) {
            Add(coordinate(), coordinate(), coordinate());
            MaybeOddSlot();
        }
    }

    void Make(Layout layout) {
        if (layout == Layout::Rows)
            Rows();
        else if (layout == Layout::Scattered)
            Scattered();
        else
            Anywhere();
        // Cells set at random: some occupied with no cube in them, some cubes' cells cleared, some holding values
        // other than 0 and 1, which count as not occupied.
        for (int n = 0; n < 20000; ++n) {
            const uint8_t value = Below(2) ? 1 : Below(2) ? 0 : static_cast<uint8_t>(2 + Below(254));
            scene.grid[Below(kGridCells)] = value;
        }
        scene.highestUsedSlot = slot - 1 - Below(50);
        scene.liveCubeCount = slot;
    }
};

void ExpectSameRecords(const Scene& expected, const Scene& actual) {
    for (int slot = 0; slot < kMaxCubes; ++slot) {
        const CubeRecord& a = expected.cubes[slot];
        const CubeRecord& b = actual.cubes[slot];
        ASSERT_EQ(0, std::memcmp(a.faceExposed, b.faceExposed, kSideCount)) << "slot " << slot;
        // Nothing else in the record changes.
        ASSERT_EQ(0, std::memcmp(&a.x, &b.x, 3 * sizeof(float))) << "slot " << slot;
        ASSERT_EQ(a.inUse, b.inUse) << "slot " << slot;
        ASSERT_EQ(a.textured, b.textured) << "slot " << slot;
        ASSERT_EQ(a.cellColumn, b.cellColumn) << "slot " << slot;
        ASSERT_EQ(a.cellRow, b.cellRow) << "slot " << slot;
        ASSERT_EQ(a.colour, b.colour) << "slot " << slot;
    }
}

template <typename Vertex>
void ExpectSameStore(const Vertex (&expected)[kMeshChunks][kChunkVertices],
                     const int32_t* expectedTriangles,
                     int32_t expectedLast,
                     const Vertex (&actual)[kMeshChunks][kChunkVertices],
                     const int32_t* actualTriangles,
                     int32_t actualLast) {
    ASSERT_EQ(expectedLast, actualLast);
    for (int chunk = 0; chunk < kMeshChunks; ++chunk)
        ASSERT_EQ(expectedTriangles[chunk], actualTriangles[chunk]) << "chunk " << chunk;
    for (int chunk = 0; chunk <= expectedLast; ++chunk) {
        const size_t bytes = static_cast<size_t>(expectedTriangles[chunk]) * 3 * sizeof(Vertex);
        ASSERT_EQ(0, std::memcmp(expected[chunk], actual[chunk], bytes)) << "chunk " << chunk;
    }
}

void ExpectSameMesh(const CubeMesh& expected, const CubeMesh& actual) {
    ExpectSameStore(expected.coloured, expected.colouredTriangles, expected.lastColouredChunk, actual.coloured,
                    actual.colouredTriangles, actual.lastColouredChunk);
    ExpectSameStore(expected.textured, expected.texturedTriangles, expected.lastTexturedChunk, actual.textured,
                    actual.texturedTriangles, actual.lastTexturedChunk);
}

// Every in-use cube's flags say whether the neighbour cell on that side is unoccupied; other slots keep theirs.
// Returns how many in-use cubes it checked.
int ExpectFlagsFollowTheGrid(const Scene& before, const Scene& after) {
    int checked = 0;
    for (int slot = 0; slot < kMaxCubes; ++slot) {
        const CubeRecord& cube = before.cubes[slot];
        const uint8_t* flags = after.cubes[slot].faceExposed;
        if (slot > before.highestUsedSlot || cube.inUse != 1) {
            EXPECT_EQ(0, std::memcmp(cube.faceExposed, flags, kSideCount)) << "slot " << slot;
            continue;
        }
        const int x = static_cast<int>(cube.x);
        const int y = static_cast<int>(cube.y);
        const int z = static_cast<int>(cube.z);
        for (int side = 0; side < kSideCount; ++side) {
            const bool occupied =
                before.Occupied(x + kSideOffset[side][0], y + kSideOffset[side][1], z + kSideOffset[side][2]);
            EXPECT_EQ(flags[side], occupied ? 0 : 1) << "slot " << slot << " side " << side;
        }
        if (testing::Test::HasFailure())
            return checked;
        ++checked;
    }
    return checked;
}

class FrameMeshTest : public ::testing::Test {
protected:
    std::unique_ptr<Scene> original = std::make_unique<Scene>();
    std::unique_ptr<Scene> separate = std::make_unique<Scene>();
    std::unique_ptr<Scene> fused = std::make_unique<Scene>();
    std::unique_ptr<CubeMesh> separateMesh = std::make_unique<CubeMesh>();
    std::unique_ptr<CubeMesh> fusedMesh = std::make_unique<CubeMesh>();

    void MakeScene(Layout layout, unsigned seed) {
        original = std::make_unique<Scene>();
        SceneMaker{std::mt19937(seed), *original}.Make(layout);
    }

    // An in-use coloured cube in the next slot, its cell occupied.
    CubeRecord& Put(int& slot, const Cell& cell, uint32_t colour) {
        CubeRecord& cube = original->cubes[slot++];
        cube.x = static_cast<float>(cell.x);
        cube.y = static_cast<float>(cell.y);
        cube.z = static_cast<float>(cell.z);
        cube.inUse = 1;
        cube.textured = 0;
        cube.colour = colour;
        original->grid[Scene::GridIndex(cell.x, cell.y, cell.z)] = 1;
        return cube;
    }

    // Both ways from copies of the same scene.
    void RunBoth() {
        *separate = *original;
        *fused = *original;
        UpdateFaceExposure(*separate);
        BuildCubeMesh(*separate, *separateMesh);
        UpdateFaceExposureAndBuildMesh(*fused, *fusedMesh);
    }
};

TEST_F(FrameMeshTest, OnePassLeavesTheSameFlagsAndMeshAsTwo) {
    int chunksSeen = 0;
    for (Layout layout : {Layout::Rows, Layout::Scattered, Layout::Anywhere}) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            SCOPED_TRACE(testing::Message() << "layout " << static_cast<int>(layout) << " seed " << seed);
            MakeScene(layout, seed);
            RunBoth();
            EXPECT_GT(ExpectFlagsFollowTheGrid(*original, *fused), 2000);
            ExpectSameRecords(*separate, *fused);
            ExpectSameMesh(*separateMesh, *fusedMesh);
            if (HasFailure())
                return;
            chunksSeen = std::max(chunksSeen, separateMesh->lastColouredChunk);
        }
    }
    EXPECT_GE(chunksSeen, 2);  // the scenes were big enough to close chunks
}

TEST_F(FrameMeshTest, NoSlotsEmptyAMeshThatHeldFaces) {
    MakeScene(Layout::Scattered, 5);
    RunBoth();
    ASSERT_GT(fusedMesh->lastColouredChunk, 0);
    original->highestUsedSlot = -1;
    RunBoth();
    ExpectSameMesh(*separateMesh, *fusedMesh);
    EXPECT_EQ(fusedMesh->lastColouredChunk, 0);
    EXPECT_EQ(fusedMesh->colouredTriangles[0], 0);
    EXPECT_EQ(fusedMesh->texturedTriangles[0], 0);
}

// Rows of 17 cubes, listed along each way of z and x: some runs along a row start right before the end of a block
// of slots or the highest slot.
TEST_F(FrameMeshTest, RowsCrossingBlockEndsAndTheHighestSlot) {
    for (int way = 0; way < 4; ++way) {
        SCOPED_TRACE(testing::Message() << "way " << way);
        original = std::make_unique<Scene>();
        int slot = 0;
        for (int row = 0; row < 40; ++row) {
            for (int k = 0; k < 17; ++k) {
                const int along = way < 2 ? 50 + k : 66 - k;
                Put(slot, way % 2 == 0 ? Cell{20 + 2 * row, 100, along} : Cell{along, 100, 20 + 2 * row},
                    0xFF000000u + static_cast<uint32_t>(slot));
            }
        }
        ASSERT_EQ(kExposureSlotBlock % 17, 1);  // slot 255 starts a row
        original->highestUsedSlot = 17 * 35 + 5;
        RunBoth();
        EXPECT_EQ(ExpectFlagsFollowTheGrid(*original, *fused), 17 * 35 + 6);
        ExpectSameRecords(*separate, *fused);
        ExpectSameMesh(*separateMesh, *fusedMesh);
        EXPECT_EQ(fusedMesh->colouredTriangles[0], 2 * (4 * (17 * 35 + 6) + 2 * 35 + 1));
        for (int beyond = original->highestUsedSlot + 1; beyond < slot; ++beyond)
            ASSERT_EQ(fused->cubes[beyond].faceExposed[0], 0) << beyond;
    }
}

// Rows of 20 that end at each edge of the grid along x and z, listed towards it and away from it: no run looks past
// the edge, where the bytes in memory are another row's (occupied here) or other slots' (all ones here).
TEST_F(FrameMeshTest, RunsStopAtTheGridsEdgesWhicheverWayTheyGo) {
    original = std::make_unique<Scene>();
    std::memset(original->cubes, 1, sizeof(original->cubes));
    int slot = 0;
    for (int edge = 0; edge < 4; ++edge) {
        const bool alongX = edge < 2;
        const int end = edge % 2 == 0 ? 0 : kGridSize - 1;  // the edge the row reaches
        for (int towards = 0; towards < 2; ++towards) {
            const int y = 20 + 10 * edge + 3 * towards;
            for (int k = 0; k < 20; ++k) {
                const int along = end == 0 ? (towards ? 19 - k : k) : (towards ? 180 + k : 199 - k);
                Put(slot, alongX ? Cell{along, y, 100} : Cell{100, y, along}, kWhite);
            }
            const Cell past = end == 0 ? Cell{100, y - 1, kGridSize - 1} : Cell{100, y + 1, 0};
            if (!alongX)
                original->grid[Scene::GridIndex(past.x, past.y, past.z)] = 1;
        }
    }
    original->highestUsedSlot = slot - 1;
    original->liveCubeCount = slot;
    RunBoth();
    EXPECT_EQ(ExpectFlagsFollowTheGrid(*original, *fused), slot);
    ExpectSameRecords(*separate, *fused);
}

// A solid block listed along +z: hidden cubes get all-zero flags and only the hull is drawn.
TEST_F(FrameMeshTest, SolidBlockShowsOnlyItsHull) {
    original = std::make_unique<Scene>();
    int slot = 0;
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 4; ++y)
            for (int z = 0; z < 30; ++z) {
                CubeRecord& cube = Put(slot, {150 + x, 60 + y, 165 + z}, 0xFF336699);  // the rows end at z = 194
                for (uint8_t& exposed : cube.faceExposed)
                    exposed = 1;
            }
    original->highestUsedSlot = slot - 1;
    RunBoth();
    EXPECT_EQ(ExpectFlagsFollowTheGrid(*original, *fused), slot);
    ExpectSameRecords(*separate, *fused);
    ExpectSameMesh(*separateMesh, *fusedMesh);
    const int hullFaces = 2 * (5 * 4 + 5 * 30 + 4 * 30);
    EXPECT_EQ(fusedMesh->colouredTriangles[0], 2 * hullFaces);
    const CubeRecord& inner = fused->cubes[(2 * 4 + 1) * 30 + 15];
    for (uint8_t exposed : inner.faceExposed)
        EXPECT_EQ(exposed, 0);
}

}  // namespace
