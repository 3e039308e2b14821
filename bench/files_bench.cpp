// The files of a full scene of 10,000 cubes: the Metasequoia export beside an implementation of the same steps
// with dense lattice tables (one mark per corner, eight vertex numbers per cell), in time and in peak memory,
// and the object file's save and load per cube.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "convert/png_libpng.h"
#include "editor/document/document.h"
#include "editor/editor.h"
#include "files/metasequoia.h"
#include "files/model_export.h"
#include "files/object_file.h"
#include "files/vox.h"

// Every allocation of the process is counted, so that a benchmark can report the most its code held at once.
namespace {
std::atomic<int64_t> gHeld{0};
std::atomic<int64_t> gPeak{0};
}  // namespace

void* operator new(size_t size) {
    void* block = std::malloc(size + 16);
    if (block == nullptr)
        throw std::bad_alloc();
    *static_cast<size_t*>(block) = size;
    const int64_t held = gHeld += static_cast<int64_t>(size);
    int64_t peak = gPeak.load();
    while (held > peak && !gPeak.compare_exchange_weak(peak, held)) {
    }
    return static_cast<char*>(block) + 16;
}

void operator delete(void* pointer) noexcept {
    if (pointer == nullptr)
        return;
    char* block = static_cast<char*>(pointer) - 16;
    gHeld -= static_cast<int64_t>(*reinterpret_cast<size_t*>(block));
    std::free(block);
}

void operator delete(void* pointer, size_t) noexcept {
    operator delete(pointer);
}

namespace {

enum class Shape { Scattered, Solid };

// Scattered: a lattice with a cell between cubes, every face exposed. Solid: a 25 x 20 x 20 block. Eight colours
// and a textured cube in every ten, so that materials and texture coordinates are written too.
std::unique_ptr<Scene> SceneOf(Shape shape) {
    auto scene = std::make_unique<Scene>();
    int slot = 0;
    const auto place = [&](int x, int y, int z) {
        CubeRecord& cube = scene->cubes[slot];
        cube = CubeRecord{};
        cube.x = static_cast<float>(x);
        cube.y = static_cast<float>(y);
        cube.z = static_cast<float>(z);
        cube.inUse = 1;
        cube.textured = slot % 10 == 0 ? 1 : 0;
        cube.colour = cube.textured ? kWhite : 0xFF000000u | static_cast<uint32_t>(slot % 8) * 0x203040u;
        cube.cellColumn = slot % 8;
        cube.cellRow = slot / 8 % 8;
        scene->grid[Scene::GridIndex(x, y, z)] = 1;
        ++slot;
    };
    if (shape == Shape::Scattered) {
        for (int x = 0; x < 22 && slot < kMaxCubes; ++x)
            for (int y = 0; y < 22 && slot < kMaxCubes; ++y)
                for (int z = 0; z < 21 && slot < kMaxCubes; ++z)
                    place(60 + 2 * x, 60 + 2 * y, 60 + 2 * z);
    } else {
        for (int x = 0; x < 25; ++x)
            for (int y = 0; y < 20; ++y)
                for (int z = 0; z < 20; ++z)
                    place(90 + x, 90 + y, 90 + z);
    }
    scene->highestUsedSlot = slot - 1;
    scene->liveCubeCount = slot;
    UpdateFaceExposure(*scene);
    return scene;
}

Scene& SceneFor(Shape shape) {
    static std::map<Shape, std::unique_ptr<Scene>> scenes;
    std::unique_ptr<Scene>& scene = scenes[shape];
    if (!scene)
        scene = SceneOf(shape);
    return *scene;
}

void Append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& text, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    text += line;
}

// The export's steps on dense tables: a mark for each of the 201^3 lattice corners, eight vertex numbers for
// each of the 200^3 cells, two sweeps over the whole lattice.
std::string DenseMetasequoiaText(const Scene& scene, const char* textureName) {
    constexpr int kLattice = 201;
    constexpr int kSlotCorners[6][4] = {{2, 3, 1, 0}, {3, 7, 5, 1}, {7, 6, 4, 5},
                                        {6, 2, 0, 4}, {6, 7, 3, 2}, {0, 1, 5, 4}};
    std::string text =
        "Metasequoia Document\nFormat Text Ver 1.0\n\nScene {\n\tpos 0.0000 0.0000 1500.0000\n\tlookat 0.0000 0.0000 "
        "0.0000\n\thead -0.5236\n\tpich 0.5236\n\tortho 0\n\tzoom2 4.2859\n\tamb 0.250 0.250 0.250\n}\n";
    const int32_t slots = scene.highestUsedSlot + 1;
    std::vector<int32_t> material(static_cast<size_t>(slots), -1);
    std::vector<uint32_t> colours;
    int32_t textureMaterial = -1;
    for (int32_t i = 0; i < slots; ++i) {
        const CubeRecord& cube = scene.cubes[i];
        if (cube.inUse == 0)
            continue;
        if (cube.textured != 0) {
            if (textureMaterial < 0) {
                textureMaterial = static_cast<int32_t>(colours.size());
                colours.push_back(0);
            }
            material[static_cast<size_t>(i)] = textureMaterial;
            continue;
        }
        int32_t found = -1;
        for (size_t j = 0; j < colours.size() && found < 0; ++j)
            if (static_cast<int32_t>(j) != textureMaterial && colours[j] == cube.colour)
                found = static_cast<int32_t>(j);
        if (found < 0) {
            found = static_cast<int32_t>(colours.size());
            colours.push_back(cube.colour);
        }
        material[static_cast<size_t>(i)] = found;
    }
    Append(text, "Material %d {\n", static_cast<int>(colours.size()));
    for (size_t j = 0; j < colours.size(); ++j) {
        if (static_cast<int32_t>(j) == textureMaterial) {
            Append(text,
                   "\t\"mat%d\" shader(3) col(1.000 1.000 1.000 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) "
                   "power(5.00) tex(\"%s\")\n",
                   static_cast<int>(j + 1), textureName);
        } else {
            const ColourParts p = SplitColour(colours[j]);
            Append(text,
                   "\t\"mat%d\" shader(3) col(%.3f %.3f %.3f 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) "
                   "power(5.00)\n",
                   static_cast<int>(j + 1), p.red / 255.0, p.green / 255.0, p.blue / 255.0);
        }
    }
    text +=
        "}\nObject \"obj1\" {\n\tvisible 15\n\tlocking 0\n\tshading 1\n\tfacet 59.5\n\tcolor 0.898 0.498 0.698\n"
        "\tcolor_type 0\n";
    std::vector<uint8_t> marks(static_cast<size_t>(kLattice) * kLattice * kLattice, 0);
    std::vector<int32_t> numbers(static_cast<size_t>(200) * 200 * 200 * 8, 0);
    int faces = 0;
    const auto cornerIndex = [](int x, int y, int z) { return (static_cast<size_t>(x) * 201 + y) * 201 + z; };
    for (int32_t i = 0; i < slots; ++i) {
        const CubeRecord& cube = scene.cubes[i];
        if (cube.inUse == 0)
            continue;
        const int x = static_cast<int>(cube.x), y = static_cast<int>(cube.y), z = static_cast<int>(cube.z);
        for (int side = 0; side < 6; ++side) {
            if (cube.faceExposed[side] == 0)
                continue;
            ++faces;
            for (int c : kSlotCorners[side])
                marks[cornerIndex(x + (c & 1), y + (c >> 1 & 1), z + (c >> 2 & 1))] = 1;
        }
    }
    int count = 0;
    for (uint8_t mark : marks)
        count += mark;
    Append(text, "\tvertex %d {\n", count);
    int next = 0;
    for (int x = 0; x < kLattice; ++x)
        for (int y = 0; y < kLattice; ++y)
            for (int z = 0; z < kLattice; ++z) {
                if (marks[cornerIndex(x, y, z)] == 0)
                    continue;
                for (int c = 0; c < 8; ++c) {
                    const int cx = x - (c & 1), cy = y - (c >> 1 & 1), cz = z - (c >> 2 & 1);
                    if (cx >= 0 && cy >= 0 && cz >= 0 && cx < 200 && cy < 200 && cz < 200)
                        numbers[((static_cast<size_t>(cx) * 200 + cy) * 200 + cz) * 8 + c] = next;
                }
                ++next;
                Append(text, "\t\t%.4f %.4f %.4f\n", 10.0 * (z - 100), 10.0 * (y - 100), 10.0 * (x - 100));
            }
    Append(text, "\t}\n\tface %d {\n", faces);
    for (int32_t i = 0; i < slots; ++i) {
        const CubeRecord& cube = scene.cubes[i];
        if (cube.inUse == 0)
            continue;
        const size_t cell =
            ((static_cast<size_t>(cube.x) * 200 + static_cast<size_t>(cube.y)) * 200 + static_cast<size_t>(cube.z)) * 8;
        for (int side = 0; side < 6; ++side) {
            if (cube.faceExposed[side] == 0)
                continue;
            const int* c = kSlotCorners[side];
            Append(text, "\t\t4 V(%d %d %d %d) M(%d) ", numbers[cell + c[0]], numbers[cell + c[1]],
                   numbers[cell + c[2]], numbers[cell + c[3]], material[static_cast<size_t>(i)]);
            if (cube.textured == 0) {
                text += "UV(0.00000 0.00000 1.00000 0.00000 1.00000 1.00000 0.00000 1.00000)\n";
            } else {
                const float l = cube.cellColumn / 8.0f, t = cube.cellRow / 8.0f, r = l + 0.125f, b = t + 0.125f;
                Append(text, "UV(%.5f %.5f %.5f %.5f %.5f %.5f %.5f %.5f)\n", l, t, r, t, r, b, l, b);
            }
        }
    }
    text += "\t}\n}\nEof";
    return text;
}

using Exporter = std::string (*)(const Scene&, const char*);

void RunExport(benchmark::State& state, Shape shape, Exporter exporter) {
    const Scene& scene = SceneFor(shape);
    if (MetasequoiaText(scene, "tex.bmp") != DenseMetasequoiaText(scene, "tex.bmp")) {
        state.SkipWithError("the two exports differ");
        return;
    }
    int64_t peak = 0;
    for (auto _ : state) {
        const int64_t before = gHeld.load();
        gPeak = before;
        std::string text = exporter(scene, "tex.bmp");
        benchmark::DoNotOptimize(text.data());
        // The document itself is the result, not working memory.
        const int64_t used = gPeak.load() - before - static_cast<int64_t>(text.capacity());
        peak = used > peak ? used : peak;
    }
    state.counters["working_MB"] = static_cast<double>(peak) / (1 << 20);
}

void BM_Export(benchmark::State& state, Shape shape) {
    RunExport(state, shape, MetasequoiaText);
}

void BM_ExportDense(benchmark::State& state, Shape shape) {
    RunExport(state, shape, DenseMetasequoiaText);
}

std::string TemporaryPath(const char* name) {
    return std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") + "/" + name;
}

void BM_SaveObjectFile(benchmark::State& state, Shape shape) {
    auto editor = std::make_unique<Editor>();
    std::memcpy(&editor->scene, &SceneFor(shape), sizeof(Scene));
    StdFileSystem files;
    const std::string path = TemporaryPath("blokkenveld_bench_save.bvo");
    for (auto _ : state) {
        if (!SaveScene(*editor, files, path.c_str(), "tex.bmp"))
            state.SkipWithError("cannot save");
    }
    std::remove(path.c_str());
    state.counters["per_cube"] =
        benchmark::Counter(static_cast<double>(editor->scene.liveCubeCount),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_LoadObjectFile(benchmark::State& state, Shape shape) {
    auto editor = std::make_unique<Editor>();
    std::memcpy(&editor->scene, &SceneFor(shape), sizeof(Scene));
    StdFileSystem files;
    BitmapOnlyAtlas atlas;
    char textureName[kPathCapacity] = "tex.bmp";
    TextureNameSource textureSource = TextureNameSource::UserChoice;
    const std::string path = TemporaryPath("blokkenveld_bench_load.bvo");
    SaveScene(*editor, files, path.c_str(), "tex.bmp");
    for (auto _ : state) {
        if (!LoadObjectFile(*editor, files, atlas, path.c_str(), textureName, textureSource, ""))
            state.SkipWithError("cannot load");
    }
    std::remove(path.c_str());
    state.counters["per_cube"] =
        benchmark::Counter(static_cast<double>(editor->scene.liveCubeCount),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The other exports, each against the Metasequoia export of the same scene timed in the same run: vs_mqo is the
// export's mean time over the Metasequoia export's best of five. The atlas is encoded by libpng, as the converter
// does.
enum class Format { Gltf, Obj, Vox };

double MetasequoiaSeconds(const Scene& scene) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        std::string text = MetasequoiaText(scene, "tex.bmp");
        benchmark::DoNotOptimize(text.data());
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// The program's default atlas, as the build draws it.
bool DefaultAtlas(Image& atlas) {
    std::vector<uint8_t> bitmap;
    StdFileSystem files;
    return files.ReadAll(ARTWORK_DIR "/tex.bmp", bitmap) && DecodeBitmap(bitmap.data(), bitmap.size(), atlas);
}

void BM_ModelExport(benchmark::State& state, Shape shape, Format format) {
    const Scene& scene = SceneFor(shape);
    Image atlas;
    if (!DefaultAtlas(atlas)) {
        state.SkipWithError("no atlas");
        return;
    }
    LibpngEncoder png;
    const double metasequoia = MetasequoiaSeconds(scene);
    double total = 0;
    int64_t peak = 0;
    for (auto _ : state) {
        const int64_t before = gHeld.load();
        gPeak = before;
        const auto start = std::chrono::steady_clock::now();
        size_t bytes = 0;
        if (format == Format::Gltf) {
            std::vector<uint8_t> glb;
            GltfBinary(scene, &atlas, png, glb);
            bytes = glb.size();
        } else if (format == Format::Obj) {
            ObjFiles files;
            ObjExport(scene, &atlas, png, "model", files);
            bytes = files.obj.size() + files.mtl.size() + files.atlas.size();
        } else {
            bytes = VoxBytes(scene, &atlas).size();
        }
        benchmark::DoNotOptimize(bytes);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        peak = std::max(peak, gPeak.load() - before);
    }
    state.counters["vs_mqo"] = total / static_cast<double>(state.iterations()) / metasequoia;
    state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
}

// The atlas picture alone: a fixed part of every export whose faces show the atlas.
void BM_AtlasPng(benchmark::State& state) {
    Image atlas;
    if (!DefaultAtlas(atlas)) {
        state.SkipWithError("no atlas");
        return;
    }
    LibpngEncoder png;
    std::vector<uint8_t> out;
    for (auto _ : state)
        png.Encode(atlas, out);
    state.counters["bytes"] = static_cast<double>(out.size());
}

}  // namespace

BENCHMARK(BM_AtlasPng)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ModelExport, gltf_scattered, Shape::Scattered, Format::Gltf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ModelExport, obj_scattered, Shape::Scattered, Format::Obj)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ModelExport, vox_scattered, Shape::Scattered, Format::Vox)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ModelExport, gltf_solid, Shape::Solid, Format::Gltf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ModelExport, obj_solid, Shape::Solid, Format::Obj)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ModelExport, vox_solid, Shape::Solid, Format::Vox)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, scattered, Shape::Scattered)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportDense, scattered, Shape::Scattered)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, solid, Shape::Solid)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportDense, solid, Shape::Solid)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveObjectFile, scattered, Shape::Scattered)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadObjectFile, scattered, Shape::Scattered)->Unit(benchmark::kMillisecond);
