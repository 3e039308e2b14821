// Screen-space textured quads of the panel pieces and the texts, in client pixels, as every graphics backend
// draws them, and the packing of the glyph atlas's cells. Nothing here touches a device.
#pragma once

#include <cstdint>

#include "math/math3d.h"
#include "render/frame_drawing.h"
#include "render/glyph_text.h"

struct OverlayCorner {
    float x;  // client pixels; a corner on a whole number lies on a pixel edge
    float y;
    float u;  // texture coordinates, 0..1 across the texture
    float v;
};

// Corners in strip order: top-left, top-right, bottom-left, bottom-right.
struct OverlayQuad {
    OverlayCorner corners[4];
};

// A source rectangle of a texture of width x height texels, placed through the translation and scaling of a
// 2-D transform: the rectangle's own pixel (0, 0) lands on the transform's translation.
OverlayQuad PieceQuad(const Matrix& transform, const SourceRect& source, int32_t textureWidth, int32_t textureHeight);

// The cell of a laid-out glyph, its corner at the pen position, with the atlas texels it shows.
OverlayQuad GlyphCellQuad(const GlyphQuad& glyph, const GlyphAtlas& atlas);

// Lays the cells of the glyphs out in rows across an atlas atlasWidth pixels wide: each cell is its advance plus a
// margin on both sides wide (strokes may reach past the advance) and cellHeight tall. Sets the atlas size.
void PackGlyphCells(const uint32_t* codePoints,
                    const int32_t* advances,
                    int32_t count,
                    int32_t cellHeight,
                    int32_t margin,
                    int32_t atlasWidth,
                    GlyphAtlas& atlas);
