// The drawn artwork fits the places the program draws it from.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "files/bitmap.h"
#include "files/file_system.h"
#include "files/palette_file.h"

namespace {

Image LoadArtwork(const char* name) {
    std::vector<uint8_t> bytes;
    Image image;
    const std::string path = std::string(ARTWORK_DIR) + "/" + name;
    EXPECT_TRUE(StdFileSystem().ReadAll(path.c_str(), bytes)) << path;
    EXPECT_TRUE(DecodeBitmap(bytes.data(), bytes.size(), image)) << path;
    return image;
}

uint32_t At(const Image& image, int x, int y) {
    return image.pixels[static_cast<size_t>(y) * image.width + x] & 0xFFFFFF;
}

}  // namespace

TEST(Artwork, PanelBitmapKeepsTransparencyToTheMarkerInterior) {
    const Image panel = LoadArtwork("panel.bmp");
    ASSERT_EQ(panel.width, 512);
    ASSERT_EQ(panel.height, 512);
    // Opaque black is the colour key: only the marker's inside may use it.
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            if (At(panel, x, y) == 0) {
                EXPECT_TRUE(x >= 182 && x < 198 && y >= 46 && y < 62) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(At(panel, 182, 46), 0xFFFFFFu);
    EXPECT_EQ(At(panel, 190, 54), 0u);
    // The status strip's middle piece is stretched sideways: its neighbours must match it.
    for (int y = 58; y < 76; ++y)
        EXPECT_EQ(At(panel, 163, y), At(panel, 161, y)) << y;
}

TEST(Artwork, DefaultAtlasAndPaletteLoad) {
    const Image atlas = LoadArtwork("tex.bmp");
    EXPECT_EQ(atlas.width, 128);
    EXPECT_EQ(atlas.height, 128);
    auto editor = std::make_unique<Editor>();
    StdFileSystem files;
    ASSERT_TRUE(LoadPalette(*editor, files, (std::string(ARTWORK_DIR) + "/palette.bvp").c_str()));
    EXPECT_EQ(editor->palette[0], 0xFFFFFFFFu);
    for (uint32_t colour : editor->palette)
        EXPECT_EQ(colour >> 24, 0xFFu);
}
