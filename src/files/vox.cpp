#include "files/vox.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "files/colour_fit.h"
#include "files/hull.h"

namespace {

constexpr uint32_t kVoxVersion = 150;
constexpr size_t kChunkHeader = 12;  // id, content size, children size
constexpr size_t kPaletteBytes = 256 * 4;
constexpr int kAtlasCells = 8;

uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void AppendU32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(std::vector<uint8_t>& bytes, const char* id, uint32_t contentSize, uint32_t childrenSize) {
    bytes.insert(bytes.end(), id, id + 4);
    AppendU32(bytes, contentSize);
    AppendU32(bytes, childrenSize);
}

// The mean colour of each atlas cell, row by row; white without an atlas.
std::vector<uint32_t> CellMeans(const Image* atlas) {
    std::vector<uint32_t> means(kAtlasCells * kAtlasCells, kWhite & 0xFFFFFF);
    if (atlas == nullptr || atlas->width < kAtlasCells || atlas->height < kAtlasCells ||
        atlas->pixels.size() != static_cast<size_t>(atlas->width) * static_cast<size_t>(atlas->height))
        return means;
    for (int row = 0; row < kAtlasCells; ++row) {
        for (int column = 0; column < kAtlasCells; ++column) {
            const int left = column * atlas->width / kAtlasCells, right = (column + 1) * atlas->width / kAtlasCells;
            const int top = row * atlas->height / kAtlasCells, bottom = (row + 1) * atlas->height / kAtlasCells;
            uint64_t sum[3] = {0, 0, 0};
            for (int y = top; y < bottom; ++y) {
                for (int x = left; x < right; ++x) {
                    const ColourParts parts = SplitColour(atlas->pixels[static_cast<size_t>(y * atlas->width + x)]);
                    sum[0] += static_cast<uint64_t>(parts.red);
                    sum[1] += static_cast<uint64_t>(parts.green);
                    sum[2] += static_cast<uint64_t>(parts.blue);
                }
            }
            const uint64_t count = static_cast<uint64_t>((right - left) * (bottom - top));
            uint32_t mean = 0;
            for (int channel = 0; channel < 3; ++channel)
                mean |= static_cast<uint32_t>((sum[channel] + count / 2) / count) << (16 - 8 * channel);
            means[static_cast<size_t>(row * kAtlasCells + column)] = mean;
        }
    }
    return means;
}

// MagicaVoxel's palette for files without one: the 6 x 6 x 6 colour cube of 0xFF, 0xCC, ... 0x00 without black
// (blue fastest, red slowest), then ten steps each of red, green, blue and grey.
void DefaultPalette(uint32_t (&palette)[256]) {
    static constexpr uint8_t kCubeSteps[6] = {0xFF, 0xCC, 0x99, 0x66, 0x33, 0x00};
    static constexpr uint8_t kRampSteps[10] = {0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
    int index = 1;
    palette[0] = 0;
    for (uint8_t red : kCubeSteps)
        for (uint8_t green : kCubeSteps)
            for (uint8_t blue : kCubeSteps)
                if (red != 0 || green != 0 || blue != 0)
                    palette[index++] =
                        0xFF000000u | static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
    for (int ramp = 0; ramp < 4; ++ramp)
        for (uint8_t step : kRampSteps) {
            const uint32_t s = step;
            palette[index++] = 0xFF000000u | (ramp == 0 || ramp == 3 ? s << 16 : 0) |
                               (ramp == 1 || ramp == 3 ? s << 8 : 0) | (ramp == 2 || ramp == 3 ? s : 0);
        }
}

struct Chunk {
    char id[5];
    const uint8_t* content;
    size_t contentSize;
};

}  // namespace

std::vector<uint8_t> VoxBytes(const Scene& scene, const Image* atlas) {
    const ModelBounds bounds = BoundsOf(scene);
    const std::vector<uint32_t> cellMeans = CellMeans(atlas);

    // Each cube's colour, and the distinct colours by first appearance with how many cubes use them.
    std::vector<uint32_t> colourOfCube;
    std::vector<uint32_t> colours, weights;
    std::unordered_map<uint32_t, uint32_t> distinct;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const uint32_t colour =
            cube.textured != 0
                ? cellMeans[static_cast<size_t>(std::clamp(cube.cellRow, 0, kAtlasCells - 1) * kAtlasCells +
                                                std::clamp(cube.cellColumn, 0, kAtlasCells - 1))]
                : cube.colour & 0xFFFFFF;
        const auto found = distinct.emplace(colour, static_cast<uint32_t>(colours.size()));
        if (found.second) {
            colours.push_back(colour);
            weights.push_back(0);
        }
        ++weights[found.first->second];
        colourOfCube.push_back(colour);
    }
    const std::vector<uint32_t> palette = FitPalette(colours, weights, kVoxPaletteColours);
    std::vector<uint8_t> entryOf(colours.size());
    for (size_t i = 0; i < colours.size(); ++i)
        entryOf[i] = static_cast<uint8_t>(palette.size() == colours.size() ? i : NearestEntry(palette, colours[i]));

    const uint32_t voxels = static_cast<uint32_t>(colourOfCube.size());
    const uint32_t sizeChunk = kChunkHeader + 12, xyziChunk = kChunkHeader + 4 + 4 * voxels,
                   rgbaChunk = kChunkHeader + kPaletteBytes;
    std::vector<uint8_t> bytes;
    bytes.reserve(8 + kChunkHeader + sizeChunk + xyziChunk + rgbaChunk);
    bytes.insert(bytes.end(), {'V', 'O', 'X', ' '});
    AppendU32(bytes, kVoxVersion);
    AppendChunk(bytes, "MAIN", 0, sizeChunk + xyziChunk + rgbaChunk);
    // Voxel x, y, z are the grid's x, z, y: z is up in MagicaVoxel, and the swap keeps the model unmirrored.
    const int extent[3] = {bounds.high[0] - bounds.low[0] + 1, bounds.high[2] - bounds.low[2] + 1,
                           bounds.high[1] - bounds.low[1] + 1};
    AppendChunk(bytes, "SIZE", 12, 0);
    for (int axis = 0; axis < 3; ++axis)
        AppendU32(bytes, bounds.empty ? 1 : static_cast<uint32_t>(extent[axis]));
    AppendChunk(bytes, "XYZI", 4 + 4 * voxels, 0);
    AppendU32(bytes, voxels);
    size_t next = 0;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const Cell cell = CellOf(cube);
        bytes.push_back(static_cast<uint8_t>(cell.x - bounds.low[0]));
        bytes.push_back(static_cast<uint8_t>(cell.z - bounds.low[2]));
        bytes.push_back(static_cast<uint8_t>(cell.y - bounds.low[1]));
        bytes.push_back(static_cast<uint8_t>(entryOf[distinct[colourOfCube[next++]]] + 1));
    }
    AppendChunk(bytes, "RGBA", kPaletteBytes, 0);
    // Entry i is colour index i + 1; unused entries are opaque black, the last one is never used.
    for (size_t entry = 0; entry < 256; ++entry) {
        const uint32_t colour = entry < palette.size() ? palette[entry] : 0;
        bytes.push_back(static_cast<uint8_t>(colour >> 16));
        bytes.push_back(static_cast<uint8_t>(colour >> 8));
        bytes.push_back(static_cast<uint8_t>(colour));
        bytes.push_back(entry < kVoxPaletteColours ? 0xFF : 0);
    }
    return bytes;
}

VoxReadResult ParseVox(const uint8_t* data, size_t size, std::vector<VoxCube>& out) {
    if (data == nullptr || size < 8 + kChunkHeader || std::memcmp(data, "VOX ", 4) != 0 ||
        std::memcmp(data + 8, "MAIN", 4) != 0)
        return kVoxReadFailure;
    // MAIN's own content is empty in every writer's files; its children are the model chunks.
    const uint64_t mainContent = U32(data + 12), mainChildren = U32(data + 16);
    const uint64_t childrenStart = 8 + kChunkHeader + mainContent;
    if (childrenStart + mainChildren > size)
        return kVoxReadFailure;
    const uint8_t* sizeChunk = nullptr;
    const uint8_t* voxelChunk = nullptr;
    size_t voxelChunkSize = 0;
    const uint8_t* paletteChunk = nullptr;
    for (uint64_t at = childrenStart, end = childrenStart + mainChildren; at < end;) {
        if (end - at < kChunkHeader)
            return kVoxReadFailure;
        const uint8_t* header = data + at;
        const uint64_t contentSize = U32(header + 4), childrenSize = U32(header + 8);
        if (contentSize + childrenSize > end - at - kChunkHeader)
            return kVoxReadFailure;
        const uint8_t* content = header + kChunkHeader;
        if (std::memcmp(header, "SIZE", 4) == 0 && sizeChunk == nullptr) {
            if (contentSize < 12)
                return kVoxReadFailure;
            sizeChunk = content;
        } else if (std::memcmp(header, "XYZI", 4) == 0 && sizeChunk != nullptr && voxelChunk == nullptr) {
            voxelChunk = content;
            voxelChunkSize = static_cast<size_t>(contentSize);
        } else if (std::memcmp(header, "RGBA", 4) == 0 && paletteChunk == nullptr) {
            if (contentSize < kPaletteBytes)
                return kVoxReadFailure;
            paletteChunk = content;
        }
        at += kChunkHeader + contentSize + childrenSize;
    }
    if (sizeChunk == nullptr || voxelChunk == nullptr || voxelChunkSize < 4)
        return kVoxReadFailure;
    const uint32_t side[3] = {U32(sizeChunk), U32(sizeChunk + 4), U32(sizeChunk + 8)};
    const uint64_t count = U32(voxelChunk);
    if (count > (voxelChunkSize - 4) / 4)
        return kVoxReadFailure;

    uint32_t palette[256];
    if (paletteChunk != nullptr) {
        palette[0] = 0;
        for (int index = 1; index < 256; ++index) {
            const uint8_t* entry = paletteChunk + 4 * (index - 1);
            palette[index] =
                0xFF000000u | static_cast<uint32_t>(entry[0]) << 16 | static_cast<uint32_t>(entry[1]) << 8 | entry[2];
        }
    } else {
        DefaultPalette(palette);
    }

    // Voxels by cell, a later one replacing an earlier one in the same cell; index 0 is an empty cell.
    std::vector<uint32_t> order;
    order.reserve(static_cast<size_t>(count));
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* voxel = voxelChunk + 4 + 4 * static_cast<size_t>(i);
        if (voxel[0] >= side[0] || voxel[1] >= side[1] || voxel[2] >= side[2])
            return kVoxReadFailure;
        if (voxel[3] != 0)
            order.push_back(i);
    }
    const auto cellKey = [&](uint32_t i) {
        const uint8_t* voxel = voxelChunk + 4 + 4 * static_cast<size_t>(i);
        return static_cast<uint32_t>(voxel[0]) << 16 | static_cast<uint32_t>(voxel[1]) << 8 | voxel[2];
    };
    std::vector<uint32_t> byCell = order;
    std::stable_sort(byCell.begin(), byCell.end(), [&](uint32_t a, uint32_t b) { return cellKey(a) < cellKey(b); });
    std::vector<uint8_t> kept(static_cast<size_t>(count), 0);
    for (size_t k = 0; k < byCell.size(); ++k) {
        if (k + 1 == byCell.size() || cellKey(byCell[k + 1]) != cellKey(byCell[k]))
            kept[byCell[k]] = 1;
    }
    std::vector<uint32_t> voxels;
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (uint32_t i : order) {
        if (kept[i] == 0)
            continue;
        voxels.push_back(i);
        const uint8_t* voxel = voxelChunk + 4 + 4 * static_cast<size_t>(i);
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min<int>(low[axis], voxel[axis]);
            high[axis] = std::max<int>(high[axis], voxel[axis]);
        }
    }
    if (voxels.size() > static_cast<size_t>(kMaxCubes))
        return kVoxTooLarge;
    for (int axis = 0; axis < 3 && !voxels.empty(); ++axis) {
        if (high[axis] - low[axis] + 1 > kMaxVoxSide)
            return kVoxTooLarge;
    }

    // Voxel x, y, z become grid x, z, y; each side is centred on the grid's middle cell.
    std::vector<VoxCube> cubes;
    cubes.reserve(voxels.size());
    const int middle = kGridSize / 2;
    for (uint32_t i : voxels) {
        const uint8_t* voxel = voxelChunk + 4 + 4 * static_cast<size_t>(i);
        VoxCube cube;
        cube.x = voxel[0] - low[0] + middle - (high[0] - low[0] + 1) / 2;
        cube.z = voxel[1] - low[1] + middle - (high[1] - low[1] + 1) / 2;
        cube.y = voxel[2] - low[2] + middle - (high[2] - low[2] + 1) / 2;
        cube.colour = palette[voxel[3]];
        cubes.push_back(cube);
    }
    out = std::move(cubes);
    return kVoxRead;
}
