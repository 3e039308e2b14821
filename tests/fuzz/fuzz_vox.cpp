// MagicaVoxel files: any input is read or refused without harm; what is read lies in the grid, one cube per cell,
// within the limits, and written back as a .vox it reads the same.
#include <memory>
#include <set>
#include <tuple>

#include "files/vox.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<VoxCube> cubes;
    if (ParseVox(data, size, cubes) != kVoxRead)
        return 0;
    FUZZ_CHECK(cubes.size() <= static_cast<size_t>(kMaxCubes));
    // One scene for every run; only the cells a run sets are cleared again.
    static auto* scene = new Scene();
    std::set<std::tuple<int, int, int, uint32_t>> read;
    int slot = 0;
    for (const VoxCube& cube : cubes) {
        FUZZ_CHECK(Scene::InGrid(cube.x, cube.y, cube.z));
        FUZZ_CHECK(scene->grid[Scene::GridIndex(cube.x, cube.y, cube.z)] == 0);
        FUZZ_CHECK(cube.colour >> 24 == 0xFF);
        scene->grid[Scene::GridIndex(cube.x, cube.y, cube.z)] = 1;
        CubeRecord& record = scene->cubes[slot++];
        record = CubeRecord{};
        record.x = static_cast<float>(cube.x);
        record.y = static_cast<float>(cube.y);
        record.z = static_cast<float>(cube.z);
        record.inUse = 1;
        record.colour = cube.colour;
        read.insert({cube.x, cube.y, cube.z, cube.colour});
    }
    scene->highestUsedSlot = slot - 1;
    const std::vector<uint8_t> bytes = VoxBytes(*scene, nullptr);
    std::vector<VoxCube> again;
    FUZZ_CHECK(ParseVox(bytes.data(), bytes.size(), again) == kVoxRead);
    std::set<std::tuple<int, int, int, uint32_t>> reread;
    for (const VoxCube& cube : again)
        reread.insert({cube.x, cube.y, cube.z, cube.colour});
    FUZZ_CHECK(read == reread);
    for (const VoxCube& cube : cubes)
        scene->grid[Scene::GridIndex(cube.x, cube.y, cube.z)] = 0;
    return 0;
}
