// What every export of the visible hull shares: the exposed faces in slot and side order, the corners of the
// cube lattice numbered once each, the materials by first appearance, and the model's extent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/scene.h"

constexpr int kLattice = kGridSize + 1;  // corners run from 0 to 200 on each axis

// The lattice corner (x, y, z) as one number that sorts in X, Y, Z order; below 2^24.
inline uint32_t CornerKey(int x, int y, int z) {
    return static_cast<uint32_t>((x * kLattice + y) * kLattice + z);
}

// The vertex number of each corner key, numbered in the order of the keys with equal keys sharing one number;
// the distinct keys in that order into keys.
std::vector<int32_t> NumberCorners(const std::vector<uint32_t>& corners, std::vector<uint32_t>& keys);

// Materials by first appearance in slot order: each distinct 32-bit colour of a coloured cube and, when the
// atlas is to be used, one texture material that every textured cube takes. Without it a textured cube counts
// as a white coloured one, as it is drawn when no atlas is loaded.
struct MaterialTable {
    std::vector<int32_t> ofSlot;   // per slot up to the highest used one; -1 for a free slot
    std::vector<uint32_t> colour;  // per material; 0 for the texture material
    int32_t texture = -1;          // the texture material's number, -1 when none
};
MaterialTable AssignMaterials(const Scene& scene, bool useAtlas);

// True when the slot holds a cube that shows the atlas in an export with atlas (useAtlas).
inline bool ShowsAtlas(const CubeRecord& cube, bool useAtlas) {
    return useAtlas && cube.textured != 0;
}

// The cells the in-use cubes occupy, from low to high inclusive on each axis (x, y, z); empty when none is in use.
struct ModelBounds {
    bool empty = true;
    int low[3] = {0, 0, 0};
    int high[3] = {0, 0, 0};
};
ModelBounds BoundsOf(const Scene& scene);
