#include <gtest/gtest.h>

#include "render/overlay_quads.h"

namespace {

void ExpectCorner(const OverlayCorner& c, float x, float y, float u, float v) {
    EXPECT_FLOAT_EQ(c.x, x);
    EXPECT_FLOAT_EQ(c.y, y);
    EXPECT_FLOAT_EQ(c.u, u);
    EXPECT_FLOAT_EQ(c.v, v);
}

}  // namespace

TEST(OverlayQuads, PieceCoversItsSourceAtTheTranslation) {
    // The selection marker, 16 x 16 texels, placed at (25, 78).
    const OverlayQuad q = PieceQuad(MatrixTranslation(25.0f, 78.0f, 0.0f), {182, 46, 198, 62}, 512, 512);
    ExpectCorner(q.corners[0], 25, 78, 182 / 512.0f, 46 / 512.0f);
    ExpectCorner(q.corners[1], 41, 78, 198 / 512.0f, 46 / 512.0f);
    ExpectCorner(q.corners[2], 25, 94, 182 / 512.0f, 62 / 512.0f);
    ExpectCorner(q.corners[3], 41, 94, 198 / 512.0f, 62 / 512.0f);
}

TEST(OverlayQuads, StatusMiddlePieceStretchesOneTexelAcrossTheWidth) {
    const Matrix m = MatrixMultiply(MatrixScaling(796.0f, 1.0f, 1.0f), MatrixTranslation(2.0f, 582.0f, 0.0f));
    const OverlayQuad q = PieceQuad(m, {163, 58, 164, 76}, 512, 512);
    ExpectCorner(q.corners[0], 2, 582, 163 / 512.0f, 58 / 512.0f);
    ExpectCorner(q.corners[3], 798, 600, 164 / 512.0f, 76 / 512.0f);
}

TEST(OverlayQuads, GlyphCellsWrapIntoRowsAndQuadsShowTheirCell) {
    const uint32_t codes[4] = {'1', '2', 0x30AD, '/'};
    const int32_t advances[4] = {7, 7, 13, 7};
    GlyphAtlas atlas;
    // Cells of 11, 11, 17 and 11 pixels: the third no longer fits in 36 and opens the second row.
    PackGlyphCells(codes, advances, 4, 17, 2, 36, atlas);
    ASSERT_EQ(atlas.glyphCount, 4);
    EXPECT_EQ(atlas.glyphs[1].atlasX, 11);
    EXPECT_EQ(atlas.glyphs[2].atlasX, 0);
    EXPECT_EQ(atlas.glyphs[2].atlasY, 17);
    EXPECT_EQ(atlas.glyphs[3].atlasX, 17);
    EXPECT_EQ(atlas.glyphs[2].width, 17);
    EXPECT_EQ(atlas.glyphs[2].advance, 13);
    EXPECT_EQ(atlas.width, 36);
    EXPECT_EQ(atlas.height, 34);

    const OverlayQuad q = GlyphCellQuad({&atlas.glyphs[2], 100, 50}, atlas);
    ExpectCorner(q.corners[0], 100, 50, 0.0f, 0.5f);
    ExpectCorner(q.corners[3], 117, 67, 17 / 36.0f, 1.0f);
}
