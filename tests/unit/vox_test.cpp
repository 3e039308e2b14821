#include "files/vox.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "fake_platform.h"
#include "files/colour_fit.h"

namespace {

using Cells = std::map<std::tuple<int, int, int>, uint32_t>;

Cells CellsOf(const Scene& scene) {
    Cells cells;
    for (int slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse != 0)
            cells[{static_cast<int>(cube.x), static_cast<int>(cube.y), static_cast<int>(cube.z)}] = cube.colour;
    }
    return cells;
}

Cells CellsOf(const std::vector<VoxCube>& cubes) {
    Cells cells;
    for (const VoxCube& cube : cubes)
        cells[{cube.x, cube.y, cube.z}] = cube.colour;
    return cells;
}

std::vector<VoxCube> Read(const std::vector<uint8_t>& bytes, VoxReadResult expected = kVoxRead) {
    std::vector<VoxCube> cubes;
    EXPECT_EQ(ParseVox(bytes.data(), bytes.size(), cubes), expected);
    return cubes;
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        b.push_back(static_cast<uint8_t>(v >> shift));
}

// A file built chunk by chunk, as other writers make them.
struct VoxBuilder {
    uint32_t size[3] = {4, 4, 4};
    std::vector<std::array<uint8_t, 4>> voxels;
    bool palette = true;
    std::vector<uint8_t> extraChunk;  // placed before SIZE
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> children = extraChunk;
        children.insert(children.end(), {'S', 'I', 'Z', 'E'});
        Put32(children, 12);
        Put32(children, 0);
        for (uint32_t s : size)
            Put32(children, s);
        children.insert(children.end(), {'X', 'Y', 'Z', 'I'});
        Put32(children, static_cast<uint32_t>(4 + 4 * voxels.size()));
        Put32(children, 0);
        Put32(children, static_cast<uint32_t>(voxels.size()));
        for (const auto& v : voxels)
            children.insert(children.end(), v.begin(), v.end());
        if (palette) {
            children.insert(children.end(), {'R', 'G', 'B', 'A'});
            Put32(children, 1024);
            Put32(children, 0);
            for (int i = 0; i < 256; ++i)
                children.insert(children.end(), {static_cast<uint8_t>(i), 0x40, 0x80, 0xFF});
        }
        std::vector<uint8_t> file = {'V', 'O', 'X', ' '};
        Put32(file, 200);
        file.insert(file.end(), {'M', 'A', 'I', 'N'});
        Put32(file, 0);
        Put32(file, static_cast<uint32_t>(children.size()));
        file.insert(file.end(), children.begin(), children.end());
        return file;
    }
};

}  // namespace

TEST(VoxExport, ACentredSceneComesBackCubeForCubeAndColourForColour) {
    auto scene = EmptyScene();
    // An L of three colours, two cells on each axis from 99 to 100 (a side of n cells starts at 100 - n / 2),
    // with a hole in the slots.
    PlaceCube(*scene, 0, 99, 99, 100).colour = 0xFF102030;
    PlaceCube(*scene, 1, 100, 99, 100).colour = 0xFFFFFFFF;
    PlaceCube(*scene, 3, 99, 100, 100).colour = 0xFF102030;
    PlaceCube(*scene, 4, 99, 99, 99).colour = 0xFF00FF00;
    const std::vector<uint8_t> bytes = VoxBytes(*scene, nullptr);
    // Header, MAIN, SIZE 2 x 2 x 2 (x, z, y), four voxels, the palette.
    ASSERT_EQ(bytes.size(), 8u + 12 + (12 + 12) + (12 + 4 + 16) + (12 + 1024));
    EXPECT_EQ(std::memcmp(bytes.data(), "VOX \x96\0\0\0MAIN", 12), 0);
    // The cube above the first (grid y + 1) stands on top of it in the file (voxel z + 1).
    const uint8_t* voxels = bytes.data() + 8 + 12 + 24 + 16;
    EXPECT_EQ(std::vector<uint8_t>(voxels, voxels + 16),
              (std::vector<uint8_t>{0, 1, 0, 1, 1, 1, 0, 2, 0, 1, 1, 1, 0, 0, 0, 3}));
    EXPECT_EQ(CellsOf(Read(bytes)), CellsOf(*scene));
}

TEST(VoxExport, TexturedCubesTakeTheMeanOfTheirCellAndManyColoursAreFitted) {
    auto scene = EmptyScene();
    Image atlas;
    atlas.width = atlas.height = 128;
    atlas.pixels.assign(128 * 128, 0xFF000000);
    for (int y = 16 * 5; y < 16 * 6; ++y)
        for (int x = 16 * 2; x < 16 * 3; x += 2)
            atlas.pixels[static_cast<size_t>(y * 128 + x)] = 0xFFFF8040;  // half the cell (2, 5)
    CubeRecord& textured = PlaceCube(*scene, 0, 100, 100, 100);
    textured.textured = 1;
    textured.cellColumn = 2;
    textured.cellRow = 5;
    EXPECT_EQ(CellsOf(Read(VoxBytes(*scene, &atlas))).begin()->second, 0xFF804020u);
    EXPECT_EQ(CellsOf(Read(VoxBytes(*scene, nullptr))).begin()->second, 0xFFFFFFFFu);

    // 400 colours on a 20 x 20 layer: a palette of 255, each cube within a few steps of its colour.
    auto many = EmptyScene();
    for (int i = 0; i < 400; ++i)
        PlaceCube(*many, i, 90 + i % 20, 90 + i / 20, 100).colour =
            0xFF000000u | static_cast<uint32_t>(i % 20 * 13) << 16 | static_cast<uint32_t>(i / 20 * 13) << 8 | 77;
    const Cells original = CellsOf(*many);
    const Cells fitted = CellsOf(Read(VoxBytes(*many, nullptr)));
    ASSERT_EQ(fitted.size(), original.size());
    std::map<uint32_t, int> used;
    for (const auto& [cell, colour] : fitted) {
        ++used[colour];
        const ColourParts a = SplitColour(colour), b = SplitColour(original.at(cell));
        EXPECT_LE(std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue), 13);
    }
    EXPECT_EQ(used.size(), 255u);
}

TEST(VoxImport, OtherWritersFilesAreCentredAndTheirPaletteApplied) {
    VoxBuilder file;
    file.size[0] = 10;
    file.voxels = {{0, 0, 0, 1}, {3, 0, 0, 2}, {3, 0, 0, 5}, {0, 2, 1, 0}, {0, 1, 0, 255}};
    // An unknown chunk with children of its own first, as newer writers put scene graph chunks beside models.
    file.extraChunk = {'n', 'T', 'R', 'N', 4,   0,   0, 0, 12, 0, 0, 0, 1, 2,
                       3,   4,   'X', 'X', 'X', 'X', 0, 0, 0,  0, 0, 0, 0, 0};
    // Four cells wide on x, two deep on y, one high: x from 98, grid z from 99, grid y 100. The cell given twice
    // keeps its last colour; index 0 is empty.
    const Cells cells = CellsOf(Read(file.Bytes()));
    EXPECT_EQ(cells,
              (Cells{{{98, 100, 99}, 0xFF004080u}, {{101, 100, 99}, 0xFF044080u}, {{98, 100, 100}, 0xFFFE4080u}}));
    file.palette = false;
    const Cells plain = CellsOf(Read(file.Bytes()));
    EXPECT_EQ(plain.at({98, 100, 99}), 0xFFFFFFFFu);   // default entry 1
    EXPECT_EQ(plain.at({98, 100, 100}), 0xFF111111u);  // default entry 255, the darkest grey
}

TEST(VoxImport, DamagedFilesFailAndLargeModelsAreRefused) {
    VoxBuilder file;
    file.voxels = {{0, 0, 0, 1}};
    std::vector<uint8_t> bytes = file.Bytes();
    std::vector<VoxCube> untouched = {{1, 2, 3, 4}};
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        std::vector<VoxCube> cubes = untouched;
        ASSERT_EQ(ParseVox(bytes.data(), cut, cubes), kVoxReadFailure) << "cut at " << cut;
        EXPECT_EQ(cubes.size(), 1u);
    }
    file.voxels = {{4, 0, 0, 1}};  // outside the 4 x 4 x 4 model
    Read(file.Bytes(), kVoxReadFailure);
    bytes = file.Bytes();
    bytes[0] = 'W';
    Read(bytes, kVoxReadFailure);

    file.size[0] = file.size[1] = file.size[2] = 256;
    file.voxels = {{0, 0, 0, 1}, {199, 0, 0, 1}};
    EXPECT_EQ(Read(file.Bytes()).size(), 2u) << "200 cells across fit";
    file.voxels = {{0, 0, 0, 1}, {0, 0, 200, 1}};
    Read(file.Bytes(), kVoxTooLarge);
    file.voxels.clear();
    for (int i = 0; i < 10001; ++i)
        file.voxels.push_back({static_cast<uint8_t>(i % 100), static_cast<uint8_t>(i / 100), 0, 1});
    Read(file.Bytes(), kVoxTooLarge);
    file.voxels.back() = {0, 0, 0, 2};  // a cell given twice counts once
    const std::vector<VoxCube> full = Read(file.Bytes());
    EXPECT_EQ(full.size(), 10000u);
}

TEST(ColourFit, FewColoursStayAndManyKeepASmallError) {
    EXPECT_EQ(FitPalette({0xFF123456, 0x00ABCDEF}, {1, 5}, 255), (std::vector<uint32_t>{0x123456, 0xABCDEF}));
    // Two tight clusters and one far colour used once, into three entries: each keeps its own.
    const std::vector<uint32_t> colours = {0x100000, 0x100002, 0x100004, 0xF0F0F0, 0xF0F0F2, 0x00FF00};
    const std::vector<uint32_t> palette = FitPalette(colours, {5, 5, 5, 9, 9, 1}, 3);
    ASSERT_EQ(palette.size(), 3u);
    EXPECT_EQ(palette[static_cast<size_t>(NearestEntry(palette, 0x00FF00))], 0x00FF00u);
    EXPECT_EQ(palette[static_cast<size_t>(NearestEntry(palette, 0x100000))], 0x100002u);
    EXPECT_EQ(palette[static_cast<size_t>(NearestEntry(palette, 0xF0F0F2))], 0xF0F0F1u);
    EXPECT_EQ(NearestEntry({0x000000, 0x0A0A0A, 0x0A0A0A}, 0x0B0B0B), 1) << "the first of equals";
}
