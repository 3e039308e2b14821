// The scene work of every frame for a full scene of 10,000 cubes: face exposure and the mesh rebuild in the one
// pass the frame runs, and each on its own, measured beside a plain copy of as many vertex bytes as the mesh writes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "editor/view/pick.h"
#include "render/cube_mesh.h"
#include "scene/scene.h"

namespace {

enum class Layout { Scattered, Solid, SolidShuffled };

struct Frame {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::unique_ptr<CubeMesh> mesh = std::make_unique<CubeMesh>();
    int64_t vertices = 0;
};

void Place(Scene& scene, int slot, int x, int y, int z) {
    CubeRecord& cube = scene.cubes[slot];
    cube.x = static_cast<float>(x);
    cube.y = static_cast<float>(y);
    cube.z = static_cast<float>(z);
    cube.inUse = 1;
    cube.colour = 0xFF000000u | (static_cast<uint32_t>(slot) * 2654435761u >> 8);
    scene.grid[Scene::GridIndex(x, y, z)] = 1;
}

// Scattered: a lattice with one empty cell between cubes, filled to 10,000, every face exposed.
// Solid: a 25 x 20 x 20 block, only its hull exposed, listed row by row along z as a model built or loaded in order
// is. Solid, shuffled: the same block with its cubes in slots of no particular order.
Frame& FrameFor(Layout layout) {
    static std::map<Layout, std::unique_ptr<Frame>> frames;
    std::unique_ptr<Frame>& frame = frames[layout];
    if (frame)
        return *frame;
    frame = std::make_unique<Frame>();
    Scene& scene = *frame->scene;
    int slot = 0;
    if (layout == Layout::Scattered) {
        for (int x = 0; x < 22 && slot < kMaxCubes; ++x)
            for (int y = 0; y < 22 && slot < kMaxCubes; ++y)
                for (int z = 0; z < 21 && slot < kMaxCubes; ++z)
                    Place(scene, slot++, 60 + 2 * x, 60 + 2 * y, 60 + 2 * z);
    } else {
        std::vector<std::array<int, 3>> cells;
        for (int x = 0; x < 25; ++x)
            for (int y = 0; y < 20; ++y)
                for (int z = 0; z < 20; ++z)
                    cells.push_back({90 + x, 90 + y, 90 + z});
        if (layout == Layout::SolidShuffled)
            std::shuffle(cells.begin(), cells.end(), std::mt19937(7));
        for (const std::array<int, 3>& cell : cells)
            Place(scene, slot++, cell[0], cell[1], cell[2]);
    }
    scene.highestUsedSlot = slot - 1;
    scene.liveCubeCount = slot;
    UpdateFaceExposureAndBuildMesh(scene, *frame->mesh);
    for (int chunk = 0; chunk <= frame->mesh->lastColouredChunk; ++chunk)
        frame->vertices += 3 * frame->mesh->colouredTriangles[chunk];
    return *frame;
}

void Report(benchmark::State& state, int64_t bytes) {
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["vertices"] = static_cast<double>(bytes / static_cast<int64_t>(sizeof(ColouredVertex)));
}

// What every frame runs.
void BM_FaceExposureAndMesh(benchmark::State& state, Layout layout) {
    Frame& frame = FrameFor(layout);
    for (auto _ : state) {
        UpdateFaceExposureAndBuildMesh(*frame.scene, *frame.mesh);
        benchmark::ClobberMemory();
    }
    Report(state, frame.vertices * static_cast<int64_t>(sizeof(ColouredVertex)));
}

// The same work as two passes over the slots.
void BM_SeparatePasses(benchmark::State& state, Layout layout) {
    Frame& frame = FrameFor(layout);
    for (auto _ : state) {
        UpdateFaceExposure(*frame.scene);
        BuildCubeMesh(*frame.scene, *frame.mesh);
        benchmark::ClobberMemory();
    }
    Report(state, frame.vertices * static_cast<int64_t>(sizeof(ColouredVertex)));
}

void BM_FaceExposureOnly(benchmark::State& state, Layout layout) {
    Frame& frame = FrameFor(layout);
    for (auto _ : state) {
        UpdateFaceExposure(*frame.scene);
        benchmark::ClobberMemory();
    }
    Report(state, frame.vertices * static_cast<int64_t>(sizeof(ColouredVertex)));
}

void BM_MeshOnly(benchmark::State& state, Layout layout) {
    Frame& frame = FrameFor(layout);
    for (auto _ : state) {
        BuildCubeMesh(*frame.scene, *frame.mesh);
        benchmark::ClobberMemory();
    }
    Report(state, frame.vertices * static_cast<int64_t>(sizeof(ColouredVertex)));
}

// A click's ray, from a camera 40 units off the scene's middle, straight through it.
PickRay ClickRay(const Scene& scene) {
    double centre[3] = {0, 0, 0};
    for (int slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        centre[0] += scene.cubes[slot].x;
        centre[1] += scene.cubes[slot].y;
        centre[2] += scene.cubes[slot].z;
    }
    const float n = static_cast<float>(scene.highestUsedSlot + 1);
    const Vec3 middle = {static_cast<float>(centre[0]) / n + 0.3f, static_cast<float>(centre[1]) / n + 0.7f,
                         static_cast<float>(centre[2]) / n + 0.4f};
    const Vec3 start = {middle.x + 24.0f, middle.y + 16.0f, middle.z - 28.0f};
    return {start,
            {start.x + 7.5f * (middle.x - start.x), start.y + 7.5f * (middle.y - start.y),
             start.z + 7.5f * (middle.z - start.z)}};
}

// A click frame: the pick, then what every frame runs.
void BM_ClickFrame(benchmark::State& state, Layout layout) {
    Frame& frame = FrameFor(layout);
    const PickRay ray = ClickRay(*frame.scene);
    if (!Pick(*frame.scene, ray).held)
        state.SkipWithError("the click ray hits nothing");
    for (auto _ : state) {
        benchmark::DoNotOptimize(Pick(*frame.scene, ray));
        UpdateFaceExposureAndBuildMesh(*frame.scene, *frame.mesh);
        benchmark::ClobberMemory();
    }
    Report(state, frame.vertices * static_cast<int64_t>(sizeof(ColouredVertex)));
}

// The same with the pick testing every side of every cube.
void BM_ClickFrameEveryCube(benchmark::State& state, Layout layout) {
    Frame& frame = FrameFor(layout);
    const PickRay ray = ClickRay(*frame.scene);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PickEveryCube(*frame.scene, ray));
        UpdateFaceExposureAndBuildMesh(*frame.scene, *frame.mesh);
        benchmark::ClobberMemory();
    }
    Report(state, frame.vertices * static_cast<int64_t>(sizeof(ColouredVertex)));
}

// The floor for the mesh rebuild: moving the same vertex bytes with nothing computed.
void BM_MemcpyBaseline(benchmark::State& state, Layout layout) {
    Frame& frame = FrameFor(layout);
    const size_t bytes = static_cast<size_t>(frame.vertices) * sizeof(ColouredVertex);
    std::vector<unsigned char> source(bytes, 0x5A);
    std::vector<unsigned char> target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    Report(state, static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK_CAPTURE(BM_FaceExposureAndMesh, scattered, Layout::Scattered)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SeparatePasses, scattered, Layout::Scattered)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FaceExposureOnly, scattered, Layout::Scattered)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MeshOnly, scattered, Layout::Scattered)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ClickFrame, scattered, Layout::Scattered)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ClickFrameEveryCube, scattered, Layout::Scattered)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MemcpyBaseline, scattered, Layout::Scattered)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FaceExposureAndMesh, solid, Layout::Solid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SeparatePasses, solid, Layout::Solid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FaceExposureOnly, solid, Layout::Solid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MeshOnly, solid, Layout::Solid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ClickFrame, solid, Layout::Solid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ClickFrameEveryCube, solid, Layout::Solid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MemcpyBaseline, solid, Layout::Solid)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FaceExposureAndMesh, solid_shuffled, Layout::SolidShuffled)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SeparatePasses, solid_shuffled, Layout::SolidShuffled)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FaceExposureOnly, solid_shuffled, Layout::SolidShuffled)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MeshOnly, solid_shuffled, Layout::SolidShuffled)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ClickFrame, solid_shuffled, Layout::SolidShuffled)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ClickFrameEveryCube, solid_shuffled, Layout::SolidShuffled)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MemcpyBaseline, solid_shuffled, Layout::SolidShuffled)->Unit(benchmark::kMicrosecond);

namespace {

// Keeps the best per-frame time of every benchmark so that the ratios come from the same run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const double time = run.GetAdjustedRealTime();
            auto found = best.find(run.benchmark_name());
            if (found == best.end())
                best.emplace(run.benchmark_name(), time);
            else
                found->second = std::min(found->second, time);
        }
    }

    void PrintRatios() const {
        for (const char* layout : {"scattered", "solid", "solid_shuffled"}) {
            const double frame = Best("BM_FaceExposureAndMesh/", layout);
            const double copy = Best("BM_MemcpyBaseline/", layout);
            if (frame <= 0.0 || copy <= 0.0)
                continue;
            std::printf(
                "ratio %s: frame %.1f us (as separate passes %.1f us: face exposure %.1f us, mesh %.1f us), "
                "memcpy %.1f us, ratio %.2f\n",
                layout, frame, Best("BM_SeparatePasses/", layout), Best("BM_FaceExposureOnly/", layout),
                Best("BM_MeshOnly/", layout), copy, frame / copy);
            const double click = Best("BM_ClickFrame/", layout);
            std::printf("ratio %s: click frame %.1f us (every cube tested: %.1f us), memcpy %.1f us, ratio %.2f\n",
                        layout, click, Best("BM_ClickFrameEveryCube/", layout), copy, click / copy);
        }
    }

    // The export against the same steps on dense lattice tables.
    void PrintExportRatios() const {
        for (const char* layout : {"scattered", "solid"}) {
            const double ours = Best("BM_Export/", layout), dense = Best("BM_ExportDense/", layout);
            if (ours > 0.0 && dense > 0.0)
                std::printf("ratio export %s: %.2f ms, dense tables %.2f ms, ratio %.3f\n", layout, ours, dense,
                            ours / dense);
        }
    }

    // The edits against the frame they happen in (bench/editing_bench.cpp).
    void PrintEditingRatios() const {
        const double box = Best("BM_AddBlockAsBox", ""), frame = Best("BM_BlockFrame", "");
        if (box > 0.0 && frame > 0.0)
            std::printf(
                "ratio box: 10,000 cubes added as a box, with its frame %.1f us, a frame of them %.1f us, "
                "ratio %.2f\n",
                box, frame, box / frame);
        const double guides = Best("BM_MirrorGuides", "");
        for (const char* tool : {"BM_PaintClick/", "BM_AddClick/"}) {
            const double mirrored = Best(tool, "mirrored"), single = Best(tool, "single");
            if (mirrored > 0.0 && single > 0.0)
                std::printf(
                    "ratio %smirrored: %.1f us (the planes' guide lines %.1f us of it), unmirrored %.1f us, "
                    "ratio %.2f\n",
                    tool + 3, mirrored, guides, single, mirrored / single);
        }
    }

private:
    double Best(const char* benchmarkName, const char* layout) const {
        const auto found = best.find(benchmarkName + std::string(layout));
        return found == best.end() ? 0.0 : found->second;
    }

    std::map<std::string, double> best;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    reporter.PrintExportRatios();
    reporter.PrintEditingRatios();
    return 0;
}
