// What the editor hands the rendering pass each frame, and the frame drawn from it.
#pragma once

#include "editor/editing/mirror.h"
#include "editor/document/settings.h"
#include "render/frame_drawing.h"

struct Editor;
class Renderer;

// Fills in the drawing from the editor: camera, switches, mesh, the paint window's pieces, lists and numbers,
// the status texts. Records the view for the next pick and, while the paint window is shown, sets the colour
// components from the current colour as its numbers show them.
void PrepareFrameDrawing(Editor& editor,
                         const RgbSetting& background,
                         const RgbSetting& wireframe,
                         FrameDrawing& drawing);
// Prepares and draws one frame.
void DrawEditorFrame(Editor& editor, const RgbSetting& background, const RgbSetting& wireframe, Renderer& renderer);
// Records the view the camera gives now, as drawing the frame does; the pick of the next click uses it.
void RecordView(Editor& editor);
// "キューブ数：live/10000"
void FormatCubeCount(int32_t liveCubes, char (&text)[kStatusTextCapacity]);
// "ミラー：X Z" for the planes switched on; empty when none is.
void FormatMirror(const MirrorState& mirror, char (&text)[kStatusTextCapacity]);
// The selection's width, height and depth in cells and how many cubes it holds ("選択：3×2×1（5 個）"); empty
// without a selection.
void FormatSelection(const Editor& editor, char (&text)[kStatusTextCapacity]);
