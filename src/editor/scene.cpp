#include "editor/scene.h"

#include <cstring>

namespace {

constexpr int kPlaneCells = kGridSize * kGridSize;
// Grid index steps to the neighbour cell on each side.
constexpr int kSideIndexStep[kSideCount] = {-1, kPlaneCells, 1, -kPlaneCells, kGridSize, -kGridSize};

// Every neighbour of a cube in 1..198 on all axes lies inside the grid, so its flags need no bounds checks.
bool NeighboursInGrid(int x, int y, int z) {
    return static_cast<unsigned>(x - 1) < kGridSize - 2 && static_cast<unsigned>(y - 1) < kGridSize - 2 &&
           static_cast<unsigned>(z - 1) < kGridSize - 2;
}

}  // namespace

// Runs every frame over every cube, so the usual case is six plain lookups without branches.
void UpdateFaceExposure(Scene& scene) {
    const uint8_t* grid = scene.grid;
    for (int i = 0; i <= scene.highestUsedSlot; ++i) {
        CubeRecord& cube = scene.cubes[i];
        if (cube.inUse != 1)
            continue;
        const int x = static_cast<int>(cube.x);
        const int y = static_cast<int>(cube.y);
        const int z = static_cast<int>(cube.z);
        if (NeighboursInGrid(x, y, z)) {
            const uint8_t* cell = grid + x * kPlaneCells + y * kGridSize + z;
            const uint8_t exposed[kSideCount] = {
                static_cast<uint8_t>(cell[kSideIndexStep[0]] != 1), static_cast<uint8_t>(cell[kSideIndexStep[1]] != 1),
                static_cast<uint8_t>(cell[kSideIndexStep[2]] != 1), static_cast<uint8_t>(cell[kSideIndexStep[3]] != 1),
                static_cast<uint8_t>(cell[kSideIndexStep[4]] != 1), static_cast<uint8_t>(cell[kSideIndexStep[5]] != 1)};
            // One six-byte copy instead of six byte stores: the flags are written for every cube every frame.
            std::memcpy(cube.faceExposed, exposed, sizeof(exposed));
            continue;
        }
        for (int side = 0; side < kSideCount; ++side) {
            const bool occupied =
                scene.Occupied(x + kSideOffset[side][0], y + kSideOffset[side][1], z + kSideOffset[side][2]);
            cube.faceExposed[side] = occupied ? 0 : 1;
        }
    }
}
