// The selection's commands on 10,000 selected cubes, each followed by the scene work of the frame that shows it,
// beside an ordinary frame of the same scene with the same selection: a move, a flip, a quarter turn, a copy, and
// the block pasted back into a scene of the start cube. Each command's scene goes back by an undo, untimed, which
// leaves memory as a frame does.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "editor/editing/selection.h"
#include "editor/editing/tools.h"
#include "editor/editor.h"
#include "editor/view/draw_frame.h"
#include "render/cube_mesh.h"

namespace {

// A 25 x 20 x 20 block of 10,000 cells around the start cube, every cube of it selected.
constexpr CellBox kBlock = {{90, 90, 90}, {114, 109, 109}};

std::unique_ptr<Editor> SelectedBlock() {
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    editor->tool = EditTool::Add;
    ApplyBox(*editor, kBlock);
    editor->selection = {true, kBlock};
    return editor;
}

// What a frame does with the scene after the command: face exposure and the mesh, and the status strip's count of
// the selected cubes.
void FrameAfterEdit(Editor& editor) {
    UpdateFaceExposureAndBuildMesh(editor.scene, editor.mesh);
    char text[kStatusTextCapacity];
    FormatSelection(editor, text);
    benchmark::DoNotOptimize(text);
    benchmark::ClobberMemory();
}

void Undo(benchmark::State& state, Editor& editor) {
    state.PauseTiming();
    editor.undo.doUndo = true;
    UndoApplyStep(editor);
    editor.selection = {true, kBlock};
    state.ResumeTiming();
}

void BM_SelectedBlockFrame(benchmark::State& state) {
    std::unique_ptr<Editor> editor = SelectedBlock();
    for (auto _ : state)
        FrameAfterEdit(*editor);
}

// The same frame after a quarter turn, or a flip front to back: the cubes' slots, which both keep, now run along x,
// or back along z, through the grid, which the face pass takes more slowly than runs along z, so every frame of
// this scene costs more, whatever made it.
void BM_MappedBlockFrame(benchmark::State& state, bool turned) {
    std::unique_ptr<Editor> editor = SelectedBlock();
    if (!(turned ? TurnSelection(*editor) : FlipSelection(*editor, 2)))
        state.SkipWithError("the command was refused");
    for (auto _ : state)
        FrameAfterEdit(*editor);
}

// kind: 0 a move along x, 1 a flip along x, 2 a quarter turn.
void BM_MapSelectedBlock(benchmark::State& state, int kind) {
    std::unique_ptr<Editor> editor = SelectedBlock();
    bool done = true;
    for (auto _ : state) {
        done = done && (kind == 0   ? MoveSelection(*editor, 0, 1)
                        : kind == 1 ? FlipSelection(*editor, 0)
                                    : TurnSelection(*editor));
        FrameAfterEdit(*editor);
        Undo(state, *editor);
    }
    if (!done)
        state.SkipWithError("the command was refused");
}

// The copy as Copy makes it: its cubes kept, its text left until something pastes it.
void BM_CopySelectedBlock(benchmark::State& state) {
    std::unique_ptr<Editor> editor = SelectedBlock();
    int32_t copied = 0;
    for (auto _ : state) {
        copied = CopySelection(*editor, "tex.bmp");
        FrameAfterEdit(*editor);
    }
    if (copied == 0)
        state.SkipWithError("nothing was copied");
}

// The same with its text made at once, as the page's copy event needs it and as another program's paste asks for it.
void BM_CopySelectedBlockWithText(benchmark::State& state) {
    std::unique_ptr<Editor> editor = SelectedBlock();
    size_t length = 0;
    for (auto _ : state) {
        CopySelection(*editor, "tex.bmp");
        length = CopiedText(*editor).size();
        FrameAfterEdit(*editor);
    }
    if (length == 0)
        state.SkipWithError("nothing was copied");
}

// The block copied, then New, then pasted where it was copied from into the scene of the start cube: 9,999 cubes
// added, the start cube given the same look. asText: the copy's text, as the page's paste event hands it over, which
// is found to be the program's own copy; else the copy itself, as the exe pastes while it owns the clipboard.
void BM_PasteBlock(benchmark::State& state, bool asText) {
    std::unique_ptr<Editor> editor = SelectedBlock();
    CopySelection(*editor, "tex.bmp");
    const std::string text = CopiedText(*editor);
    editor->StartNewScene();
    editor->ResetScene();
    bool pasted = true;
    for (auto _ : state) {
        const PasteResult result = asText ? PasteText(*editor, text, nullptr) : PasteCopied(*editor, nullptr);
        pasted = pasted && result == PasteResult::Pasted;
        FrameAfterEdit(*editor);
        Undo(state, *editor);
    }
    if (!pasted)
        state.SkipWithError("the paste was refused");
}

}  // namespace

BENCHMARK(BM_SelectedBlockFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MappedBlockFrame, turned, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MappedBlockFrame, flipped_along_z, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MapSelectedBlock, move, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MapSelectedBlock, flip, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MapSelectedBlock, turn, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopySelectedBlock)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopySelectedBlockWithText)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PasteBlock, copy, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PasteBlock, text, true)->Unit(benchmark::kMicrosecond);
