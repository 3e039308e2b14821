// The drawn artwork fits the places the program draws it from.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "editor/editor.h"
#include "editor/panels/paint_layout.h"
#include "editor/panels/panel_artwork.h"
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

// Where the panels' words lie, half-open: the three caption bands, the faces of the four text buttons inside their
// frames and bevels, and the faces of the three pressed pieces.
constexpr PanelRect kLetteredAreas[] = {
    {1, 21, 22, 73},     {1, 75, 22, 312},    {1, 314, 22, 501},  {80, 212, 111, 222}, {120, 212, 151, 222},
    {80, 230, 111, 240}, {80, 452, 111, 462}, {200, 48, 232, 59}, {235, 48, 267, 59},  {200, 62, 232, 73}};

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

TEST(Artwork, EnglishPanelDiffersFromTheJapaneseOnlyInItsWords) {
    const Image japanese = LoadArtwork(PanelFileOf(Language::Japanese));
    Image english = LoadArtwork(PanelFileOf(Language::English));
    ASSERT_TRUE(english.width == japanese.width && english.height == japanese.height);
    for (const PanelRect& area : kLetteredAreas) {
        int differing = 0;  // then the Japanese words go in, for the comparison of all the rest
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                differing += At(english, x, y) != At(japanese, x, y);
                english.pixels[static_cast<size_t>(y) * english.width + x] = At(japanese, x, y) | 0xFF000000u;
            }
        }
        EXPECT_GT(differing, 20) << "the Japanese words stay at " << area.left << "," << area.top;
    }
    EXPECT_TRUE(english.pixels == japanese.pixels) << "the English panel differs outside its words";
}

TEST(Artwork, PressedTextButtonsShowTheirButtonsWords) {
    constexpr uint32_t kInk = 0x1E2028;  // the buttons' words
    const int pairs[4][4] = {{78, 210, 198, 46}, {118, 210, 233, 46}, {78, 228, 198, 60}, {78, 450, 233, 46}};
    for (Language language : {Language::Japanese, Language::English}) {
        const Image panel = LoadArtwork(PanelFileOf(language));
        for (const auto& [upX, upY, downX, downY] : pairs) {
            int ink = 0, moved = 0;              // the pressed face shows the word one pixel right and down
            for (int i = 0; i < 32 * 11; ++i) {  // the face inside the frame and bevel, row by row
                const int x = 1 + i % 32, y = 1 + i / 32;
                const bool up = At(panel, upX + x, upY + y) == kInk;
                ink += up;
                moved += up != (At(panel, downX + x + 1, downY + y + 1) == kInk);
            }
            EXPECT_TRUE(ink > 20 && moved == 0) << upX << "," << upY;
        }
    }
}

TEST(Artwork, PanelOfTheLanguageOrElseTheJapaneseOneSayingSoOnce) {
    // In order, through one notice: language, English readable, Japanese readable, the panel read (0 none,
    // 1 Japanese, 2 English), reads made, whether the fallback is to be said now.
    const std::tuple<Language, bool, bool, int, int, bool> cases[] = {
        {Language::Japanese, true, true, 1, 1, false}, {Language::English, true, true, 2, 1, false},
        {Language::English, false, false, 0, 2, false}, {Language::English, false, true, 1, 2, true},
        {Language::English, false, true, 1, 2, false},  {Language::Japanese, true, false, 0, 1, false},
    };
    PanelFallbackNotice notice;
    for (const auto& c : cases) {
        int reads = 0;
        Image image;
        const PanelReader read = [&](Language language, Image& out) {
            ++reads;
            out.width = language == Language::English ? 2 : 1;
            return language == Language::English ? std::get<1>(c) : std::get<2>(c);
        };
        EXPECT_EQ(ReadPanelArtwork(std::get<0>(c), read, image, &notice), std::get<3>(c) != 0);
        EXPECT_EQ(reads, std::get<4>(c));
        EXPECT_EQ(notice.tellNow, std::get<5>(c));
        EXPECT_TRUE(std::get<3>(c) == 0 || image.width == std::get<3>(c));
    }
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
