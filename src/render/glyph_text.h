// Text drawn from a glyph atlas made once: the set of characters the program ever shows, and how a text
// is laid out as glyph quads into a fixed array. Nothing here allocates.
#pragma once

#include <cstdint>

// Every character of every text the program draws: the colour numbers, the cube count, the limit warning, the mirror
// planes and the selection, in Japanese and then, after them so that the Japanese glyphs keep their cells, in English.
constexpr char kGlyphCharacters[] =
    " 0123456789/キューブ数：これ以上作成できませんミラXYZ選択×（）個"
    "CubesNomracndMiSlt:()";
constexpr int kMaxGlyphs = 64;
constexpr int kMaxTextGlyphs = 64;  // longest text drawn at once

struct Glyph {
    uint32_t codePoint = 0;
    int32_t atlasX = 0;  // the glyph's cell in the atlas, pixels
    int32_t atlasY = 0;
    int32_t width = 0;  // cell size; the glyph is drawn with its cell's corner at the pen position
    int32_t height = 0;
    int32_t advance = 0;  // how far the pen moves after it
};

struct GlyphAtlas {
    Glyph glyphs[kMaxGlyphs];
    int32_t glyphCount = 0;
    int32_t width = 0;  // atlas size in pixels
    int32_t height = 0;
};

struct GlyphQuad {
    const Glyph* glyph;
    int32_t x;  // top-left corner in client pixels
    int32_t y;
};

// The next code point of a UTF-8 text, advancing text; 0 at its end. A malformed byte reads as U+FFFD.
uint32_t NextCodePoint(const char*& text);
// The code points of kGlyphCharacters, in order; returns how many.
int32_t GlyphCodePoints(uint32_t (&out)[kMaxGlyphs]);
// Places the glyphs of text with its top-left corner at (x, y), at most kMaxTextGlyphs of them; characters the
// atlas lacks are skipped. Returns the number of quads.
int32_t LayoutText(const GlyphAtlas& atlas, const char* utf8, int32_t x, int32_t y, GlyphQuad (&out)[kMaxTextGlyphs]);
