// The cube scene: a fixed array of cube slots and the occupancy grid that answers
// "is the cell beside this face free?" with one lookup.
#pragma once

#include <cstdint>

constexpr int kMaxCubes = 10000;
constexpr int kGridSize = 200;
constexpr int kGridCells = kGridSize * kGridSize * kGridSize;
constexpr int kSideCount = 6;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr float kStartCubeCoordinate = 100.0f;

// Side numbers, shared by the face-exposed flags, picking, the Add tool, the mesh and the export.
enum Side : int {
    kSideMinusZ = 0,
    kSidePlusX = 1,
    kSidePlusZ = 2,
    kSideMinusX = 3,
    kSidePlusY = 4,
    kSideMinusY = 5,
};

// Offset of the neighbour cell on each side.
constexpr int kSideOffset[kSideCount][3] = {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};

// Corners 1 to 4 of each side as 0/1 offsets from the cube's low corner. In this order
// (P1 - P3) x (P2 - P3) is the side's outward normal, and each side is drawn as (1, 2, 3), (1, 3, 4).
constexpr int kSideCorners[kSideCount][4][3] = {
    {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}},  // -z
    {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}},  // +x
    {{1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}},  // +z
    {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}},  // -x
    {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}},  // +y
    {{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}},  // -y
};

struct CubeRecord {
    float x;                          // grid x; always a whole number
    float y;                          // grid y (up)
    float z;                          // grid z
    uint8_t inUse;                    // 1 = the slot holds a cube
    uint8_t textured;                 // 0 = coloured, 1 = textured; other values draw nothing
    int32_t cellColumn;               // atlas cell column 0..7, meaningful only when textured
    int32_t cellRow;                  // atlas cell row 0..7
    uint32_t colour;                  // 0xAARRGGBB; textured cubes carry 0xFFFFFFFF
    uint8_t faceExposed[kSideCount];  // 1 when the neighbour cell on that side is not occupied
};

// A grid cell; a cube's is its coordinates truncated toward zero.
struct Cell {
    int32_t x, y, z;
    bool operator==(const Cell& other) const { return x == other.x && y == other.y && z == other.z; }
};

inline Cell CellOf(const CubeRecord& cube) {
    return {static_cast<int32_t>(cube.x), static_cast<int32_t>(cube.y), static_cast<int32_t>(cube.z)};
}

struct Scene {
    CubeRecord cubes[kMaxCubes];
    int32_t highestUsedSlot = 0;  // loops run 0..highestUsedSlot; -1 when a file held no cubes
    int32_t liveCubeCount = 1;    // number of in-use slots
    uint8_t grid[kGridCells];     // 1 = occupied; index (x * 200 + y) * 200 + z

    static int GridIndex(int x, int y, int z) { return (x * kGridSize + y) * kGridSize + z; }
    static bool InGrid(int x, int y, int z) {
        return x >= 0 && x < kGridSize && y >= 0 && y < kGridSize && z >= 0 && z < kGridSize;
    }
    // Cells outside the grid read as empty, so a cube loaded at the edge shows its outer faces.
    bool Occupied(int x, int y, int z) const { return InGrid(x, y, z) && grid[GridIndex(x, y, z)] == 1; }
};

// The red, green and blue bytes of a 0xAARRGGBB colour; alpha is ignored.
struct ColourParts {
    int32_t red;
    int32_t green;
    int32_t blue;
};

inline ColourParts SplitColour(uint32_t colour) {
    return {static_cast<int32_t>((colour >> 16) & 0xFF), static_cast<int32_t>((colour >> 8) & 0xFF),
            static_cast<int32_t>(colour & 0xFF)};
}

// Sets every in-use cube's six face-exposed flags from the occupancy grid.
void UpdateFaceExposure(Scene& scene);

// The box the in-use cubes fill, in world units (a cube at cell c fills c to c + 1); false when there is none.
bool SceneExtent(const Scene& scene, float (&low)[3], float (&high)[3]);

// Slots handled by one call of UpdateFaceExposureOfSlots; the per-frame pass writes a block's faces right after
// its flags, while the records are still in the cache.
constexpr int kExposureSlotBlock = 256;
// Room for the marks of one block: a row of cubes marks sixteen slots at once, some of them past the block's end.
constexpr int kExposureMarkBytes = kExposureSlotBlock + 16;

// The mark of a slot neither free nor in use: it keeps the flags it has, and they have to be read.
constexpr uint8_t kMarkReadFlags = 0x80;

// Sets the face-exposed flags of every in-use cube in slots first to end - 1 (end - first at most
// kExposureSlotBlock) and marks each slot in marks[slot - first]: for an in-use cube the mask of its exposed sides,
// bit n for side n; 0 for a free slot; kMarkReadFlags for any other.
void UpdateFaceExposureOfSlots(Scene& scene, int first, int end, uint8_t* marks);
