#include "render/glyph_text.h"

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

const Glyph* Find(const GlyphAtlas& atlas, uint32_t codePoint) {
    for (int32_t i = 0; i < atlas.glyphCount; ++i) {
        if (atlas.glyphs[i].codePoint == codePoint)
            return &atlas.glyphs[i];
    }
    return nullptr;
}

}  // namespace

uint32_t NextCodePoint(const char*& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    if (*p == 0)
        return 0;
    int extra = 0;
    uint32_t code = *p;
    if (code >= 0xF0 && code < 0xF8) {
        extra = 3;
        code &= 0x07;
    } else if (code >= 0xE0) {
        extra = code < 0xF0 ? 2 : -1;
        code &= 0x0F;
    } else if (code >= 0xC0) {
        extra = 1;
        code &= 0x1F;
    } else if (code >= 0x80) {
        extra = -1;
    }
    ++p;
    if (extra < 0) {
        text = reinterpret_cast<const char*>(p);
        return kReplacement;
    }
    for (int i = 0; i < extra; ++i, ++p) {
        if ((*p & 0xC0) != 0x80) {
            text = reinterpret_cast<const char*>(p);
            return kReplacement;
        }
        code = code << 6 | (*p & 0x3F);
    }
    text = reinterpret_cast<const char*>(p);
    return code;
}

int32_t GlyphCodePoints(uint32_t (&out)[kMaxGlyphs]) {
    const char* text = kGlyphCharacters;
    int32_t count = 0;
    for (uint32_t code = NextCodePoint(text); code != 0 && count < kMaxGlyphs; code = NextCodePoint(text))
        out[count++] = code;
    return count;
}

int32_t LayoutText(const GlyphAtlas& atlas, const char* utf8, int32_t x, int32_t y, GlyphQuad (&out)[kMaxTextGlyphs]) {
    int32_t count = 0;
    int32_t pen = x;
    for (uint32_t code = NextCodePoint(utf8); code != 0 && count < kMaxTextGlyphs; code = NextCodePoint(utf8)) {
        const Glyph* glyph = Find(atlas, code);
        if (glyph == nullptr)
            continue;
        out[count++] = {glyph, pen, y};
        pen += glyph->advance;
    }
    return count;
}
