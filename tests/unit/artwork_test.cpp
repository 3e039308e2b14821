// The drawn artwork fits the places the program draws it from.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
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
std::vector<PanelRect> LetteredAreas() {
    std::vector<PanelRect> areas = {{1, 21, 22, 73}, {1, 75, 22, 312}, {1, 314, 22, 501}};
    for (const PanelButton& button : paint_layout::kButtons) {
        if (button.hit.right - button.hit.left == 34)
            areas.push_back({button.hit.left + 2, button.hit.top + 2, button.hit.right - 1, button.hit.bottom - 1});
    }
    for (const auto& [x, y] : {std::pair{198, 46}, {233, 46}, {198, 60}})
        areas.push_back({x + 2, y + 2, x + 34, y + 13});
    return areas;
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

TEST(Artwork, EnglishPanelDiffersFromTheJapaneseOnlyInItsWords) {
    const Image japanese = LoadArtwork(PanelFileOf(Language::Japanese));
    const Image english = LoadArtwork(PanelFileOf(Language::English));
    ASSERT_EQ(english.width, japanese.width);
    ASSERT_EQ(english.height, japanese.height);
    const std::vector<PanelRect> areas = LetteredAreas();
    ASSERT_EQ(areas.size(), 10u);
    std::vector<int> differing(areas.size(), 0);
    for (int y = 0; y < english.height; ++y) {
        for (int x = 0; x < english.width; ++x) {
            if (At(english, x, y) == At(japanese, x, y))
                continue;
            size_t area = 0;
            while (area < areas.size() &&
                   !(x >= areas[area].left && x < areas[area].right && y >= areas[area].top && y < areas[area].bottom))
                ++area;
            ASSERT_LT(area, areas.size()) << "outside the words at " << x << "," << y;
            ASSERT_NE(At(english, x, y), 0u) << "the colour key in the words at " << x << "," << y;
            ++differing[area];
        }
    }
    for (size_t area = 0; area < areas.size(); ++area)
        EXPECT_GT(differing[area], 20) << "area " << area << " keeps the Japanese words";
}

TEST(Artwork, PressedTextButtonsShowTheirButtonsWords) {
    constexpr uint32_t kInk = 0x1E2028;
    const int pairs[4][4] = {{78, 210, 198, 46}, {118, 210, 233, 46}, {78, 228, 198, 60}, {78, 450, 233, 46}};
    for (Language language : {Language::Japanese, Language::English}) {
        const Image panel = LoadArtwork(PanelFileOf(language));
        for (const auto& [upX, upY, downX, downY] : pairs) {
            int ink = 0, moved = 0;  // the pressed face shows the word one pixel right and down
            for (int y = 1; y < 12; ++y) {
                for (int x = 1; x < 33; ++x) {
                    const bool up = At(panel, upX + x, upY + y) == kInk;
                    ink += up;
                    moved += up != (At(panel, downX + x + 1, downY + y + 1) == kInk);
                }
            }
            EXPECT_GT(ink, 20) << upX << "," << upY;
            EXPECT_EQ(moved, 0) << upX << "," << upY;
        }
    }
}

TEST(Artwork, PanelOfTheLanguageOrElseTheJapaneseOne) {
    struct Case {
        Language language;
        bool englishReadable;
        bool japaneseReadable;
        bool read;
        int width;  // stands for which panel came in: 1 Japanese, 2 English
        int reads;
    };
    const Case cases[] = {
        {Language::Japanese, true, true, true, 1, 1},   {Language::English, true, true, true, 2, 1},
        {Language::English, false, true, true, 1, 2},   {Language::English, false, false, false, 0, 2},
        {Language::Japanese, true, false, false, 0, 1},
    };
    for (const Case& c : cases) {
        int reads = 0;
        Image image;
        const PanelReader read = [&](Language language, Image& out) {
            ++reads;
            const bool english = language == Language::English;
            if (!(english ? c.englishReadable : c.japaneseReadable))
                return false;
            out.width = english ? 2 : 1;
            return true;
        };
        EXPECT_EQ(ReadPanelArtwork(c.language, read, image), c.read);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(reads, c.reads);
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
