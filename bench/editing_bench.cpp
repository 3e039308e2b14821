// Edits in a full scene, each followed by the scene work of the frame it happens in: a box of 10,000 cubes added to
// the start cube beside an ordinary frame of the same 10,000 cubes, and a click mirrored in all three planes (eight
// cells) beside the same click unmirrored.
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/editor.h"
#include "editor/editing/tools.h"
#include "render/cube_mesh.h"

namespace {

// A 25 x 20 x 20 block of 10,000 cells around the start cube, symmetric about the mirror planes below.
constexpr CellBox kBlock = {{90, 90, 90}, {114, 109, 109}};
// x through the middle of cell 102, y and z along the faces between cells 99 and 100.
constexpr int32_t kBlockMirror[3] = {204, 199, 199};

// A fresh editor holding only the start cube.
std::unique_ptr<Editor> StartEditor() {
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    return editor;
}

// What a frame does with the scene after the tool: face exposure and the mesh, and the guide lines of the mirror
// planes over the model.
void FrameAfterEdit(Editor& editor) {
    UpdateFaceExposureAndBuildMesh(editor.scene, editor.mesh);
    MakeGuideLines(editor.mirror, editor.mesh.extent, nullptr, editor.guides);
    benchmark::ClobberMemory();
}

// The block added as one box to the start cube, then its frame. The scene goes back to the start cube by an undo,
// untimed, which leaves memory as a frame does; New would sweep the caches with the 8 MB grid, which no frame does,
// and time the box against cold memory and the frame it is compared with against warm.
void BM_AddBlockAsBox(benchmark::State& state) {
    std::unique_ptr<Editor> editor = StartEditor();
    editor->tool = EditTool::Add;
    bool filled = true;
    for (auto _ : state) {
        ApplyBox(*editor, kBlock);
        FrameAfterEdit(*editor);
        state.PauseTiming();
        filled = filled && editor->scene.liveCubeCount == kMaxCubes;
        editor->undo.doUndo = true;
        UndoApplyStep(*editor);
        state.ResumeTiming();
    }
    if (!filled)
        state.SkipWithError("the box did not fill the block");
}

// An ordinary frame of the same 10,000 cubes.
void BM_BlockFrame(benchmark::State& state) {
    std::unique_ptr<Editor> editor = StartEditor();
    editor->tool = EditTool::Add;
    ApplyBox(*editor, kBlock);
    for (auto _ : state)
        FrameAfterEdit(*editor);
}

// The slot of the cube at a cell; -1 for none.
int32_t SlotAt(const Scene& scene, const Cell& cell) {
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse != 0 && cube.x == cell.x && cube.y == cell.y && cube.z == cell.z)
            return slot;
    }
    return -1;
}

// The full block with the mirror planes through its middle, switched on or off.
std::unique_ptr<Editor> BlockEditor(bool mirrored) {
    std::unique_ptr<Editor> editor = StartEditor();
    editor->tool = EditTool::Add;
    ApplyBox(*editor, kBlock);
    for (int axis = 0; axis < 3; ++axis) {
        editor->mirror.on[axis] = mirrored;
        editor->mirror.sum[axis] = kBlockMirror[axis];
    }
    return editor;
}

// A cell inside the block, away from the planes: its seven images are other cubes of the block.
constexpr Cell kClicked = {93, 95, 96};

// Paint clicks on the cube at kClicked, in two colours by turns so that every click paints.
void BM_PaintClick(benchmark::State& state, bool mirrored) {
    std::unique_ptr<Editor> editor = BlockEditor(mirrored);
    editor->tool = EditTool::Paint;
    const int32_t slot = SlotAt(editor->scene, kClicked);
    const int32_t farImage = SlotAt(editor->scene, {111, 104, 103});
    uint32_t colours[2] = {0xFF2080C0u, 0xFFC08020u};
    int turn = 0;
    for (auto _ : state) {
        editor->currentColour = colours[turn ^= 1];
        ApplyTool(*editor, slot, kSideMinusX);
        FrameAfterEdit(*editor);
    }
    if ((editor->scene.cubes[farImage].colour == editor->currentColour) != mirrored)
        state.SkipWithError("the far image was painted only if the click was mirrored");
}

// The array filled once: the block with the cube at kClicked and its seven images taken out, leaving their slots
// free. An Add click on the side of the cube beside kClicked puts a cube back there (and in the images' cells, when
// mirrored), each in the lowest free slot; an undo takes them out again, untimed.
void BM_AddClick(benchmark::State& state, bool mirrored) {
    std::unique_ptr<Editor> editor = BlockEditor(true);
    Cell holes[kMaxMirrorImages];
    const int holeCount = MirrorImages(editor->mirror, kClicked, holes);
    for (int i = 0; i < holeCount; ++i) {
        const Cell& hole = holes[i];
        editor->scene.cubes[SlotAt(editor->scene, hole)].inUse = 0;
        editor->scene.grid[Scene::GridIndex(hole.x, hole.y, hole.z)] = 0;
        --editor->scene.liveCubeCount;
    }
    for (bool& on : editor->mirror.on)
        on = mirrored;
    const int added = mirrored ? holeCount : 1;
    const int32_t beside = SlotAt(editor->scene, {kClicked.x + 1, kClicked.y, kClicked.z});
    bool filled = true;
    for (auto _ : state) {
        ApplyTool(*editor, beside, kSideMinusX);
        FrameAfterEdit(*editor);
        state.PauseTiming();
        filled = filled && editor->scene.liveCubeCount == kMaxCubes - holeCount + added;
        editor->undo.doUndo = true;
        UndoApplyStep(*editor);
        state.ResumeTiming();
    }
    if (!filled)
        state.SkipWithError("the click did not fill the holes");
}

// The part of a mirrored frame an unmirrored one does not have: the three planes' guide lines over the block.
void BM_MirrorGuides(benchmark::State& state) {
    std::unique_ptr<Editor> editor = BlockEditor(true);
    for (auto _ : state) {
        MakeGuideLines(editor->mirror, editor->mesh.extent, nullptr, editor->guides);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_AddBlockAsBox)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PaintClick, mirrored, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PaintClick, single, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AddClick, mirrored, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AddClick, single, false)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MirrorGuides)->Unit(benchmark::kMicrosecond);
