#include "render/overlay_quads.h"

OverlayQuad PieceQuad(const Matrix& transform, const SourceRect& source, int32_t textureWidth, int32_t textureHeight) {
    const auto& m = transform.m;
    const float w = static_cast<float>(source.right - source.left);
    const float h = static_cast<float>(source.bottom - source.top);
    const float local[4][2] = {{0.0f, 0.0f}, {w, 0.0f}, {0.0f, h}, {w, h}};
    const float tw = static_cast<float>(textureWidth), th = static_cast<float>(textureHeight);
    const float u[2] = {static_cast<float>(source.left) / tw, static_cast<float>(source.right) / tw};
    const float v[2] = {static_cast<float>(source.top) / th, static_cast<float>(source.bottom) / th};
    OverlayQuad quad;
    for (int i = 0; i < 4; ++i) {
        quad.corners[i] = {local[i][0] * m[0][0] + local[i][1] * m[1][0] + m[3][0],
                           local[i][0] * m[0][1] + local[i][1] * m[1][1] + m[3][1], u[i & 1], v[i >> 1]};
    }
    return quad;
}

OverlayQuad GlyphCellQuad(const GlyphQuad& glyph, const GlyphAtlas& atlas) {
    const Glyph& g = *glyph.glyph;
    const float left = static_cast<float>(glyph.x), top = static_cast<float>(glyph.y);
    const float right = left + static_cast<float>(g.width), bottom = top + static_cast<float>(g.height);
    const float tw = static_cast<float>(atlas.width), th = static_cast<float>(atlas.height);
    const float u0 = static_cast<float>(g.atlasX) / tw, v0 = static_cast<float>(g.atlasY) / th;
    const float u1 = static_cast<float>(g.atlasX + g.width) / tw, v1 = static_cast<float>(g.atlasY + g.height) / th;
    return {{{left, top, u0, v0}, {right, top, u1, v0}, {left, bottom, u0, v1}, {right, bottom, u1, v1}}};
}

void PackGlyphCells(const uint32_t* codePoints,
                    const int32_t* advances,
                    int32_t count,
                    int32_t cellHeight,
                    int32_t margin,
                    int32_t atlasWidth,
                    GlyphAtlas& atlas) {
    atlas = GlyphAtlas{};
    int32_t penX = 0, penY = 0;
    for (int32_t i = 0; i < count && i < kMaxGlyphs; ++i) {
        const int32_t cellWidth = advances[i] + 2 * margin;
        if (penX > 0 && penX + cellWidth > atlasWidth) {
            penX = 0;
            penY += cellHeight;
        }
        atlas.glyphs[atlas.glyphCount++] = {codePoints[i], penX, penY, cellWidth, cellHeight, advances[i]};
        penX += cellWidth;
    }
    atlas.width = atlasWidth;
    atlas.height = penY + cellHeight;
}
