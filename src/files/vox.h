// MagicaVoxel models (.vox, version 150 chunks SIZE, XYZI and RGBA): the scene written as voxels with z up,
// and a model read back as cubes centred on the grid's middle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/bitmap.h"
#include "scene/scene.h"

constexpr int kVoxPaletteColours = 255;  // colour index 0 is empty
constexpr int kMaxVoxSide = kGridSize;   // a model larger than the grid on any axis is refused

// The scene as a .vox file: one model as large as the cubes' extent, voxel axes x, z and y of the grid (z up). At
// most 255 distinct colours keep their values; more are fitted to a palette of 255 (FitPalette). A textured cube
// takes the mean colour of its atlas cell (white without an atlas).
std::vector<uint8_t> VoxBytes(const Scene& scene, const Image* atlas);

enum VoxReadResult : int {
    kVoxReadFailure = 0,  // not a .vox file, or its chunks or voxels do not fit in it
    kVoxRead = 1,
    kVoxTooLarge = 2,  // more than 10,000 filled cells, or wider than 200 cells on some axis
};

struct VoxCube {
    int32_t x, y, z;  // grid cell
    uint32_t colour;  // 0xFFRRGGBB
};

// The first model of a .vox file as cubes in voxel order, a cell filled twice taken once with its last colour,
// centred on the grid's middle (a side of n cells starts at 100 - n / 2). Colours from the file's palette, or
// MagicaVoxel's default palette when it has none. Reads nothing outside data; out is untouched unless kVoxRead.
VoxReadResult ParseVox(const uint8_t* data, size_t size, std::vector<VoxCube>& out);
