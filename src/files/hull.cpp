#include "files/hull.h"

#include <unordered_map>

std::vector<int32_t> NumberCorners(const std::vector<uint32_t>& corners, std::vector<uint32_t>& keys) {
    // A radix sort on the keys in two passes of twelve bits, stable, so equal keys stay in face order.
    const size_t n = corners.size();
    std::vector<uint32_t> order(n), sorted(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = static_cast<uint32_t>(i);
    for (int shift = 0; shift < 24; shift += 12) {
        std::vector<uint32_t> start(4097, 0);
        for (uint32_t i : order)
            ++start[(corners[i] >> shift & 4095) + 1];
        for (size_t b = 1; b < start.size(); ++b)
            start[b] += start[b - 1];
        for (uint32_t i : order)
            sorted[start[corners[i] >> shift & 4095]++] = i;
        order.swap(sorted);
    }
    std::vector<int32_t> vertexOf(n);
    keys.clear();
    for (uint32_t i : order) {
        if (keys.empty() || keys.back() != corners[i])
            keys.push_back(corners[i]);
        vertexOf[i] = static_cast<int32_t>(keys.size() - 1);
    }
    return vertexOf;
}

MaterialTable AssignMaterials(const Scene& scene, bool useAtlas) {
    MaterialTable table;
    const int32_t slots = scene.highestUsedSlot + 1;
    table.ofSlot.assign(slots > 0 ? static_cast<size_t>(slots) : 0, -1);
    std::unordered_map<uint32_t, int32_t> colourMaterial;
    for (int32_t slot = 0; slot < slots; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        if (ShowsAtlas(cube, useAtlas)) {
            if (table.texture < 0) {
                table.texture = static_cast<int32_t>(table.colour.size());
                table.colour.push_back(0);
            }
            table.ofSlot[static_cast<size_t>(slot)] = table.texture;
            continue;
        }
        const uint32_t colour = cube.textured != 0 ? kWhite : cube.colour;
        const auto found = colourMaterial.emplace(colour, static_cast<int32_t>(table.colour.size()));
        if (found.second)
            table.colour.push_back(colour);
        table.ofSlot[static_cast<size_t>(slot)] = found.first->second;
    }
    return table;
}

ModelBounds BoundsOf(const Scene& scene) {
    ModelBounds bounds;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const Cell cell = CellOf(cube);
        const int at[3] = {cell.x, cell.y, cell.z};
        for (int axis = 0; axis < 3; ++axis) {
            if (bounds.empty || at[axis] < bounds.low[axis])
                bounds.low[axis] = at[axis];
            if (bounds.empty || at[axis] > bounds.high[axis])
                bounds.high[axis] = at[axis];
        }
        bounds.empty = false;
    }
    return bounds;
}
