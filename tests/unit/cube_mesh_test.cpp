#include "render/cube_mesh.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CubeMeshTest : public ::testing::Test {
protected:
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::unique_ptr<CubeMesh> mesh = std::make_unique<CubeMesh>();

    CubeRecord& Place(int slot, int x, int y, int z, uint8_t textured = 0, uint32_t colour = 0xFF102030) {
        CubeRecord& cube = scene->cubes[slot];
        cube.x = static_cast<float>(x);
        cube.y = static_cast<float>(y);
        cube.z = static_cast<float>(z);
        cube.inUse = 1;
        cube.textured = textured;
        cube.colour = colour;
        for (uint8_t& exposed : cube.faceExposed)
            exposed = 1;
        scene->grid[Scene::GridIndex(x, y, z)] = 1;
        if (slot > scene->highestUsedSlot)
            scene->highestUsedSlot = slot;
        return cube;
    }
    // Cubes far enough apart that every side is exposed.
    void PlaceScattered(int count, int firstSlot = 0, int slotStep = 1) {
        for (int i = 0; i < count; ++i)
            Place(firstSlot + i * slotStep, 2 * (i % 90), 2 * ((i / 90) % 90), 2 * (i / 8100));
    }
};

TEST_F(CubeMeshTest, SingleCubeFillsOnlyTheStoreOfItsKind) {
    for (uint8_t textured : {uint8_t{0}, uint8_t{1}}) {
        SCOPED_TRACE(static_cast<int>(textured));
        Place(0, 100, 100, 100, textured);
        BuildCubeMesh(*scene, *mesh);
        const int32_t* own = textured ? mesh->texturedTriangles : mesh->colouredTriangles;
        const int32_t* other = textured ? mesh->colouredTriangles : mesh->texturedTriangles;
        EXPECT_EQ(own[0], 12);
        EXPECT_EQ(other[0], 0);
        EXPECT_EQ(mesh->lastColouredChunk, 0);
        EXPECT_EQ(mesh->lastTexturedChunk, 0);
    }
}

TEST_F(CubeMeshTest, NeighboursHideTheirSharedFaces) {
    Place(0, 100, 100, 100);
    Place(1, 101, 100, 100);
    UpdateFaceExposure(*scene);
    BuildCubeMesh(*scene, *mesh);
    EXPECT_EQ(mesh->colouredTriangles[0] * 3, 60);
}

TEST_F(CubeMeshTest, CubeThatDrawsNothingStillHidesItsNeighbour) {
    Place(0, 100, 100, 100, 2);
    Place(1, 101, 100, 100);
    UpdateFaceExposure(*scene);
    BuildCubeMesh(*scene, *mesh);
    EXPECT_EQ(mesh->colouredTriangles[0], 10);
    EXPECT_EQ(mesh->texturedTriangles[0], 0);
}

TEST_F(CubeMeshTest, ChunkClosesAfterCube1820AndTheNextCubeStartsChunk1) {
    PlaceScattered(1820);
    BuildCubeMesh(*scene, *mesh);
    EXPECT_EQ(mesh->colouredTriangles[0], 21840);
    EXPECT_EQ(mesh->lastColouredChunk, 1);
    EXPECT_EQ(mesh->colouredTriangles[1], 0);

    CubeRecord& next = Place(1820, 150, 150, 150);
    BuildCubeMesh(*scene, *mesh);
    EXPECT_EQ(mesh->colouredTriangles[0], 21840);
    EXPECT_EQ(mesh->colouredTriangles[1], 12);
    EXPECT_EQ(mesh->coloured[1][0].x, next.x);
    EXPECT_EQ(mesh->lastTexturedChunk, 0);
}

TEST_F(CubeMeshTest, ChunkStaysOpenBelow65502VerticesAndHoldsAtMost65532) {
    const struct {
        int facesOfLastCube;
        int chunk1Triangles;
        int chunk0Vertices;
    } cases[] = {{2, 0, 65484 + 12 + 36}, {3, 12, 65484 + 18}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.facesOfLastCube);
        PlaceScattered(1820);
        CubeRecord& partial = scene->cubes[1819];
        for (int side = c.facesOfLastCube; side < kSideCount; ++side)
            partial.faceExposed[side] = 0;
        Place(1820, 190, 190, 190);
        BuildCubeMesh(*scene, *mesh);
        EXPECT_EQ(mesh->colouredTriangles[0] * 3, c.chunk0Vertices);
        EXPECT_EQ(mesh->colouredTriangles[1], c.chunk1Triangles);
    }
}

TEST_F(CubeMeshTest, FreeSlotsAddNothingAndDoNotCloseChunks) {
    PlaceScattered(1820, 0, 2);  // every odd slot below the highest is free, with stale but exposed contents
    for (int slot = 1; slot < scene->highestUsedSlot; slot += 2) {
        scene->cubes[slot] = scene->cubes[0];
        scene->cubes[slot].inUse = 0;
    }
    BuildCubeMesh(*scene, *mesh);
    EXPECT_EQ(mesh->colouredTriangles[0], 21840);
    EXPECT_EQ(mesh->lastColouredChunk, 1);
    EXPECT_EQ(mesh->colouredTriangles[1], 0);
    EXPECT_EQ(mesh->coloured[0][36].x, scene->cubes[2].x);  // slot 2's faces follow slot 0's directly
}

TEST_F(CubeMeshTest, NoSlotsLeaveOneEmptyChunkInEachStore) {
    PlaceScattered(3000);
    BuildCubeMesh(*scene, *mesh);
    ASSERT_EQ(mesh->lastColouredChunk, 1);
    scene->highestUsedSlot = -1;
    BuildCubeMesh(*scene, *mesh);
    EXPECT_EQ(mesh->lastColouredChunk, 0);
    EXPECT_EQ(mesh->lastTexturedChunk, 0);
    for (int chunk = 0; chunk < kMeshChunks; ++chunk) {
        EXPECT_EQ(mesh->colouredTriangles[chunk], 0);
        EXPECT_EQ(mesh->texturedTriangles[chunk], 0);
    }
}

// Corners 1 to 4 of each side of the unit cube and its outward normal; faces go out as 1, 2, 3, 1, 3, 4.
struct FaceCase {
    int corners[4][3];
    float normal[3];
};
constexpr FaceCase kFaceCases[kSideCount] = {
    {{{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {0, 0, -1}},
    {{{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}, {1, 0, 0}},
    {{{1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}}, {0, 0, 1}},
    {{{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}}, {-1, 0, 0}},
    {{{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}, {0, 1, 0}},
    {{{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}}, {0, -1, 0}},
};
constexpr int kCornerOrder[6] = {0, 1, 2, 0, 2, 3};

TEST_F(CubeMeshTest, EachSideHasItsCornersNormalAndColourInOrder) {
    for (uint8_t textured : {uint8_t{0}, uint8_t{1}}) {
        for (int side = 0; side < kSideCount; ++side) {
            SCOPED_TRACE(testing::Message() << "textured " << int(textured) << " side " << side);
            CubeRecord& cube = Place(0, 10, 20, 30, textured, 0xFF800001);
            for (int k = 0; k < kSideCount; ++k)
                cube.faceExposed[k] = k == side;
            BuildCubeMesh(*scene, *mesh);
            ASSERT_EQ(textured ? mesh->texturedTriangles[0] : mesh->colouredTriangles[0], 2);
            for (int i = 0; i < 6; ++i) {
                const int* corner = kFaceCases[side].corners[kCornerOrder[i]];
                const ColouredVertex& v = mesh->coloured[0][i];
                const TexturedVertex& t = mesh->textured[0][i];
                const float got[6] = {textured ? t.x : v.x,   textured ? t.y : v.y,   textured ? t.z : v.z,
                                      textured ? t.nx : v.nx, textured ? t.ny : v.ny, textured ? t.nz : v.nz};
                EXPECT_EQ(got[0], static_cast<float>(10 + corner[0])) << i;
                EXPECT_EQ(got[1], static_cast<float>(20 + corner[1])) << i;
                EXPECT_EQ(got[2], static_cast<float>(30 + corner[2])) << i;
                EXPECT_EQ(got[3], kFaceCases[side].normal[0]) << i;
                EXPECT_EQ(got[4], kFaceCases[side].normal[1]) << i;
                EXPECT_EQ(got[5], kFaceCases[side].normal[2]) << i;
                EXPECT_EQ(textured ? t.diffuse : v.diffuse, 0xFF800001u) << i;
            }
        }
    }
}

TEST_F(CubeMeshTest, FacesFollowSideOrder) {
    CubeRecord& cube = Place(0, 5, 5, 5);
    cube.faceExposed[0] = cube.faceExposed[2] = cube.faceExposed[3] = cube.faceExposed[5] = 0;
    BuildCubeMesh(*scene, *mesh);
    EXPECT_EQ(mesh->coloured[0][0].nx, 1.0f);
    EXPECT_EQ(mesh->coloured[0][6].ny, 1.0f);
}

TEST_F(CubeMeshTest, TextureCoordinatesCoverTheCubesAtlasCell) {
    struct Cell {
        int column, row;
        float left, top, right, bottom;
    };
    const Cell cells[] = {
        {0, 0, 0.0f, 0.0f, 0.125f, 0.125f}, {7, 7, 0.875f, 0.875f, 1.0f, 1.0f}, {2, 5, 0.25f, 0.625f, 0.375f, 0.75f}};
    for (const Cell& cell : cells) {
        SCOPED_TRACE(testing::Message() << cell.column << "," << cell.row);
        CubeRecord& cube = Place(0, 1, 1, 1, 1, kWhite);
        cube.cellColumn = cell.column;
        cube.cellRow = cell.row;
        BuildCubeMesh(*scene, *mesh);
        // Corner 1 left-bottom, 2 left-top, 3 right-top, 4 right-bottom, on every side.
        const float us[6] = {cell.left, cell.left, cell.right, cell.left, cell.right, cell.right};
        const float vs[6] = {cell.bottom, cell.top, cell.top, cell.bottom, cell.top, cell.bottom};
        for (int i = 0; i < kVerticesPerCube; ++i) {
            EXPECT_EQ(mesh->textured[0][i].u, us[i % 6]) << i;
            EXPECT_EQ(mesh->textured[0][i].v, vs[i % 6]) << i;
        }
    }
}

}  // namespace
