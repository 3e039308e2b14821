// The glyph atlas drawn once with the browser's own text rendering, in a font that has the Japanese characters.
#pragma once

#include <cstdint>
#include <vector>

#include "render/glyph_text.h"

// Every character the program shows in a font pixelHeight pixels tall, each in its own cell: white, with the
// coverage in alpha as 0 or 255, the way the Windows program's font draws at this size. pixels gets
// atlas.width x atlas.height values 0xAARRGGBB; margin is the cells' margin around the pen's box.
bool BakeGlyphAtlas(int32_t pixelHeight, GlyphAtlas& atlas, std::vector<uint32_t>& pixels, int32_t& margin);
