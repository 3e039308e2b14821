#include "render/webgl/glyph_baker.h"

#include <emscripten.h>

#include "render/overlay_quads.h"

namespace {

constexpr int32_t kMargin = 2;
constexpr int32_t kAtlasWidth = 256;

// Measures each character's advance in whole pixels and returns the cell height (ascent plus descent), writing
// the ascent to *ascent. The face list is the page's (Blokkenveld.textFont). The Windows program's text comes from
// the hinted font, whose advances at this size run a pixel past the outline's whole pixels: 14 for a full-width
// character of a 13-pixel font, 7 for a half-width one.
// clang-format off
EM_JS(int, MeasureGlyphs, (const uint32_t* codes, int count, int pixelHeight, int* advances, int* ascent), {
    const context = document.createElement("canvas").getContext("2d");
    context.font = pixelHeight + "px " + Blokkenveld.textFont;
    for (let i = 0; i < count; ++i) {
        const text = String.fromCodePoint(HEAPU32[(codes >> 2) + i]);
        HEAP32[(advances >> 2) + i] = Math.floor(context.measureText(text).width + 1);
    }
    const metrics = context.measureText("0");
    const up = Math.round(metrics.fontBoundingBoxAscent);
    const down = Math.round(metrics.fontBoundingBoxDescent);
    HEAP32[ascent >> 2] = up;
    return up + down;
});

// Draws each character at its cell (x, y) plus the margin, baseline ascent below the cell's top, and copies the
// coverage into pixels as 0xAARRGGBB, thresholded to whole pixels.
EM_JS(void, DrawGlyphs, (const uint32_t* codes, const int* cells, int count, int pixelHeight, int margin,
                         int ascent, int width, int height, uint32_t* pixels), {
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext("2d", {willReadFrequently: true});
    context.font = pixelHeight + "px " + Blokkenveld.textFont;
    context.textBaseline = "alphabetic";
    context.fillStyle = "#fff";
    for (let i = 0; i < count; ++i) {
        const text = String.fromCodePoint(HEAPU32[(codes >> 2) + i]);
        const cell = (cells >> 2) + 2 * i;
        context.fillText(text, HEAP32[cell] + margin, HEAP32[cell + 1] + margin + ascent);
    }
    const data = context.getImageData(0, 0, width, height).data;
    for (let i = 0; i < width * height; ++i)
        HEAPU32[(pixels >> 2) + i] = data[4 * i + 3] >= 128 ? 0xFFFFFFFF : 0x00FFFFFF;
});
// clang-format on

}  // namespace

bool BakeGlyphAtlas(int32_t pixelHeight, GlyphAtlas& atlas, std::vector<uint32_t>& pixels, int32_t& margin) {
    uint32_t codes[kMaxGlyphs];
    const int32_t count = GlyphCodePoints(codes);
    int32_t advances[kMaxGlyphs] = {};
    int32_t ascent = 0;
    const int32_t cellHeight = MeasureGlyphs(codes, count, pixelHeight, advances, &ascent);
    if (cellHeight <= 0)
        return false;
    PackGlyphCells(codes, advances, count, cellHeight + 2 * kMargin, kMargin, kAtlasWidth, atlas);
    int32_t cells[2 * kMaxGlyphs];
    for (int32_t i = 0; i < atlas.glyphCount; ++i) {
        cells[2 * i] = atlas.glyphs[i].atlasX;
        cells[2 * i + 1] = atlas.glyphs[i].atlasY;
    }
    pixels.assign(static_cast<size_t>(atlas.width) * atlas.height, 0);
    DrawGlyphs(codes, cells, atlas.glyphCount, pixelHeight, kMargin, ascent, atlas.width, atlas.height, pixels.data());
    margin = kMargin;
    return true;
}
