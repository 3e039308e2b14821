// The paint panel's screen geometry (cell, swatch, bar, atlas and preview quads), the current colour as the
// panel edits it, and the palette it is taken from.
#include "editor/editor.h"
#include "editor/panels/paint_window.h"
#include "files/palette_file.h"

namespace {

namespace layout = paint_layout;

constexpr int kVerticesPerQuad = 6;
constexpr int kSwatchQuad = 64;
constexpr int kFirstBarQuad = 65;
constexpr int kPreviewQuad = 1;
constexpr float kAtlasCellFraction = 0.125f;
constexpr uint32_t kBarColour = 0xFF9696FF;
// Vertices of a quad that lie on its right edge, in the quad vertex order.
constexpr int kRightEdgeVertices[] = {1, 4, 5};

// Two triangles, (left, top) (right, top) (left, bottom) and (left, bottom) (right, top) (right, bottom).
template <typename Vertex>
void SetQuadPosition(Vertex* quad, float left, float top, float right, float bottom) {
    const float xs[kVerticesPerQuad] = {left, right, left, left, right, right};
    const float ys[kVerticesPerQuad] = {top, top, bottom, bottom, top, bottom};
    for (int i = 0; i < kVerticesPerQuad; ++i) {
        quad[i].x = xs[i];
        quad[i].y = ys[i];
        quad[i].z = 0.0f;
        quad[i].rhw = 1.0f;
    }
}

template <typename Vertex>
void SetQuadRect(Vertex* quad, float x, float y, const PanelRect& r) {
    SetQuadPosition(quad, x + static_cast<float>(r.left), y + static_cast<float>(r.top),
                    x + static_cast<float>(r.right), y + static_cast<float>(r.bottom));
}

template <typename Vertex>
void SetQuadColour(Vertex* quad, uint32_t colour) {
    for (int i = 0; i < kVerticesPerQuad; ++i)
        quad[i].diffuse = colour;
}

void SetQuadTexture(PaintTextureVertex* quad, float u0, float v0, float u1, float v1) {
    const float us[kVerticesPerQuad] = {u0, u1, u0, u0, u1, u1};
    const float vs[kVerticesPerQuad] = {v0, v0, v1, v1, v0, v1};
    for (int i = 0; i < kVerticesPerQuad; ++i) {
        quad[i].u = us[i];
        quad[i].v = vs[i];
    }
}

PaintColourVertex* ColourQuad(Editor& editor, int quad) {
    return &editor.paintColourVertices[quad * kVerticesPerQuad];
}

void SetSwatchColour(Editor& editor) {
    SetQuadColour(ColourQuad(editor, kSwatchQuad), editor.currentColour);
}

}  // namespace

void PlacePaintWindow(Editor& editor, int32_t clientWidth, int32_t clientHeight) {
    PaintWindowState& panel = editor.paintWindow;
    if (panel.x > static_cast<float>(clientWidth - kPaintWindowWidth))
        panel.x = static_cast<float>(clientWidth - kPaintWindowWidth);
    if (panel.y > static_cast<float>(clientHeight - kPaintWindowBottomReserve))
        panel.y = static_cast<float>(clientHeight - kPaintWindowBottomReserve);
    // A view smaller than the panel still shows its corner, and so the title strip to drag it by.
    if (panel.x < 0.0f)
        panel.x = 0.0f;
    if (panel.y < 0.0f)
        panel.y = 0.0f;
    BuildPaletteQuads(editor);
    BuildTextureQuads(editor);
}

void BuildPaletteQuads(Editor& editor) {
    const float x = editor.paintWindow.x;
    const float y = editor.paintWindow.y;
    for (int row = 0; row < layout::kGridCells; ++row) {
        for (int column = 0; column < layout::kGridCells; ++column) {
            const PanelRect& cells = layout::kPaletteCells;
            const int32_t left = cells.left + layout::kCellPitch * column;
            const int32_t top = cells.top + layout::kCellPitch * row;
            SetQuadRect(ColourQuad(editor, row * kPaletteColumns + column), x, y,
                        PanelRect{left, top, left + layout::kCellPitch, top + layout::kCellPitch});
        }
    }
    SetQuadRect(ColourQuad(editor, kSwatchQuad), x, y, layout::kSwatch);
    SetSwatchColour(editor);

    const int32_t components[3] = {editor.red, editor.green, editor.blue};
    for (int bar = 0; bar < 3; ++bar) {
        PaintColourVertex* quad = ColourQuad(editor, kFirstBarQuad + bar);
        SetQuadRect(quad, x, y, layout::kBars[bar]);
        SetBarEdge(editor, bar, BarEnd(x, components[bar]));
        SetQuadColour(quad, kBarColour);
    }
}

void BuildTextureQuads(Editor& editor) {
    PaintTextureVertex* atlas = editor.paintTextureVertices;
    SetQuadRect(atlas, editor.paintWindow.x, editor.paintWindow.y, layout::kAtlasCells);
    SetQuadColour(atlas, kWhite);
    SetQuadTexture(atlas, 0.0f, 0.0f, 1.0f, 1.0f);

    PaintTextureVertex* preview = &editor.paintTextureVertices[kPreviewQuad * kVerticesPerQuad];
    SetQuadRect(preview, editor.paintWindow.x, editor.paintWindow.y, layout::kPreview);
    SetQuadColour(preview, kWhite);
    SetPreviewCell(editor);
}

void SetPreviewCell(Editor& editor) {
    const float column = static_cast<float>(editor.textureColumn);
    const float row = static_cast<float>(editor.textureRow);
    SetQuadTexture(&editor.paintTextureVertices[kPreviewQuad * kVerticesPerQuad], column * kAtlasCellFraction,
                   row * kAtlasCellFraction, (column + 1.0f) * kAtlasCellFraction, (row + 1.0f) * kAtlasCellFraction);
}

void RefreshCellColours(Editor& editor) {
    for (int entry = 0; entry < kPaletteSize; ++entry)
        SetQuadColour(ColourQuad(editor, entry), editor.palette[entry]);
}

float BarEnd(float panelX, int32_t component) {
    const int32_t offset = component >= 255 ? layout::kBarFullEnd : layout::kBarStart + component / 4;
    return panelX + static_cast<float>(offset);
}

void UpdateBarEnds(Editor& editor) {
    const int32_t components[3] = {editor.red, editor.green, editor.blue};
    for (int bar = 0; bar < 3; ++bar)
        SetBarEdge(editor, bar, BarEnd(editor.paintWindow.x, components[bar]));
}

void SetBarEdge(Editor& editor, int bar, float edge) {
    PaintColourVertex* quad = ColourQuad(editor, kFirstBarQuad + bar);
    for (int v : kRightEdgeVertices)
        quad[v].x = edge;
}

void RebuildCurrentColour(Editor& editor) {
    const uint32_t colour = 0xFF000000u + (static_cast<uint32_t>(editor.red) & 0xFF) * 65536u +
                            (static_cast<uint32_t>(editor.green) & 0xFF) * 256u +
                            (static_cast<uint32_t>(editor.blue) & 0xFF);
    editor.currentColour = colour;
    editor.palette[editor.paletteIndex] = colour;
    SetQuadColour(ColourQuad(editor, editor.paletteIndex), colour);
    SetSwatchColour(editor);
}

void SplitCurrentColour(Editor& editor) {
    const ColourParts parts = SplitColour(editor.currentColour);
    editor.red = parts.red;
    editor.green = parts.green;
    editor.blue = parts.blue;
}

void TakeSelectedPaletteColour(Editor& editor) {
    editor.currentColour = editor.palette[editor.paletteIndex];
    SplitCurrentColour(editor);
    UpdateBarEnds(editor);
    SetSwatchColour(editor);
}

bool LoadPalette(Editor& editor, FileSystem& files, const char* path) {
    if (!ReadPaletteFile(files, path, editor.palette))
        return false;
    RefreshCellColours(editor);
    editor.currentColour = editor.palette[0];
    SplitCurrentColour(editor);
    BuildPaletteQuads(editor);
    return true;
}

void LoadStartupPalette(Editor& editor, FileSystem& files, const char* path) {
    if (!LoadPalette(editor, files, path)) {
        ResetPaletteToWhite(editor);
        editor.currentColour = editor.palette[0];
        SplitCurrentColour(editor);
        BuildPaletteQuads(editor);
    }
    BuildTextureQuads(editor);
}

void ResetPaletteToWhite(Editor& editor) {
    for (uint32_t& entry : editor.palette)
        entry = kWhite;
    RefreshCellColours(editor);
}
