// What the fuzz targets share: files held in memory, so that the readers can be driven as the program
// drives them, and a cheap fingerprint of a scene to prove that a rejected file changed nothing.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "scene/scene.h"

class MemoryFileSystem : public StdFileSystem {
public:
    std::map<std::string, std::vector<uint8_t>> files;

    bool ReadAll(const char* path, std::vector<uint8_t>& out) override {
        const auto found = files.find(path);
        if (found == files.end())
            return false;
        out = found->second;
        return true;
    }
};

// FNV-1a over the records in use and the counters, and over the grid when asked (it is 8 MB).
inline uint64_t Fingerprint(const Scene& scene, bool withGrid) {
    uint64_t hash = 1469598103934665603ull;
    const auto mix = [&hash](const void* data, size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    mix(&scene.highestUsedSlot, sizeof(scene.highestUsedSlot));
    mix(&scene.liveCubeCount, sizeof(scene.liveCubeCount));
    mix(scene.cubes, sizeof(CubeRecord) * static_cast<size_t>(scene.highestUsedSlot + 1));
    if (withGrid) {
        uint64_t sum = 0;
        for (size_t i = 0; i < sizeof(scene.grid); i += 8) {
            uint64_t word;
            std::memcpy(&word, scene.grid + i, sizeof(word));
            sum = sum * 31 + word;
        }
        mix(&sum, sizeof(sum));
    }
    return hash;
}

#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            __builtin_trap();                                                            \
        }                                                                                \
    } while (0)
