#include "files/palette_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "editor/editor.h"
#include "files/file_system.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kFill = 0x11223344;
const std::string kEightTwos = "2 2 2 2 2 2 2 2\n";

class PaletteTest : public ::testing::Test {
protected:
    std::unique_ptr<Editor> editor = std::make_unique<Editor>();
    StdFileSystem files;
    fs::path folder;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder =
            fs::temp_directory_path() / ("blokkenveld_palette_" + std::string(info->name()) + "_" +
                                         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(folder);
        for (uint32_t& entry : editor->palette)
            entry = kFill;
    }
    void TearDown() override { fs::remove_all(folder); }

    // Written byte for byte, so the test decides the line ends.
    std::string WriteRaw(const std::string& name, const std::string& bytes) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Magic() const { return std::string(kPaletteMagic) + "\n"; }
};

// Checks the six vertices of a quad: (left, top) (right, top) (left, bottom) (left, bottom) (right, top)
// (right, bottom), z 0 and rhw 1.
template <typename Vertex>
void ExpectQuad(const Vertex* quad, float left, float top, float right, float bottom) {
    const float xs[6] = {left, right, left, left, right, right};
    const float ys[6] = {top, top, bottom, bottom, top, bottom};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(quad[i].x, xs[i]) << "vertex " << i;
        EXPECT_EQ(quad[i].y, ys[i]) << "vertex " << i;
        EXPECT_EQ(quad[i].z, 0.0f) << "vertex " << i;
        EXPECT_EQ(quad[i].rhw, 1.0f) << "vertex " << i;
    }
}

TEST_F(PaletteTest, WriteThenReadKeepsEveryEntryWithAlpha) {
    for (int i = 0; i < kPaletteSize; ++i)
        editor->palette[i] = 0x01000193u * static_cast<uint32_t>(i) * 2654435761u;
    editor->palette[0] = 0x00123456;
    editor->palette[1] = 0x80abcdef;
    editor->palette[2] = 0;
    const std::string path = WriteRaw("round.bvp", PaletteText(editor->palette));

    std::ifstream text(path);
    std::string line;
    std::getline(text, line);
    EXPECT_EQ(line, kPaletteMagic);
    std::getline(text, line);
    EXPECT_EQ(line.substr(0, 18), "123456 80abcdef 0 ");

    auto loaded = std::make_unique<Editor>();
    ASSERT_TRUE(LoadPalette(*loaded, files, path.c_str()));
    for (int i = 0; i < kPaletteSize; ++i)
        EXPECT_EQ(loaded->palette[i], editor->palette[i]) << i;
}

TEST_F(PaletteTest, LoadRefreshesCellsCurrentColourComponentsAndSwatch) {
    editor->paintWindow.x = 10.0f;
    std::string rows;
    for (int row = 0; row < 8; ++row)
        rows += "ff0a82c8 1 2 3 4 5 6 " + std::to_string(row) + "\n";
    ASSERT_TRUE(LoadPalette(*editor, files, WriteRaw("p.bvp", Magic() + rows).c_str()));
    EXPECT_EQ(editor->currentColour, 0xff0a82c8u);
    EXPECT_EQ(editor->red, 0x0a);
    EXPECT_EQ(editor->green, 0x82);
    EXPECT_EQ(editor->blue, 0xc8);
    for (int entry = 0; entry < kPaletteSize; ++entry)
        EXPECT_EQ(editor->paintColourVertices[entry * 6 + 5].diffuse, editor->palette[entry]) << entry;
    EXPECT_EQ(editor->paintColourVertices[64 * 6].diffuse, 0xff0a82c8u);
    EXPECT_EQ(editor->paintColourVertices[65 * 6 + 1].x, 10.0f + 52 + 0x0a / 4);
}

TEST_F(PaletteTest, RowLineIsScannedUpToItsFirstNonNumber) {
    struct Case {
        const char* line;
        int changed;
        uint32_t first;
    };
    const Case cases[] = {
        {"a b c\n", 3, 0xa},
        {"a\tb c\r\n", 3, 0xa},
        {"1 2 zz 4 5 6 7 8\n", 2, 0x1},
        {"12zz 5\n", 1, 0x12},
        {"\n", 0, 0},
        {"0x10 1 1 1 1 1 1 1 1 1\n", 8, 0x10},
        {"  FFFFFFFF 1 1 1 1 1 1 1\n", 8, 0xffffffff},
        {"000000001 100000002\n", 2, 0x1},
        {"+ff -1 2\n", 3, 0xff},  // signs, as "%x" reads them
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        for (uint32_t& entry : editor->palette)
            entry = kFill;
        const std::string file =
            Magic() + kEightTwos + c.line + kEightTwos + kEightTwos + kEightTwos + kEightTwos + kEightTwos + kEightTwos;
        ASSERT_TRUE(LoadPalette(*editor, files, WriteRaw("rows.bvp", file).c_str()));
        if (c.changed > 0) {
            EXPECT_EQ(editor->palette[8], c.first);
        }
        for (int column = 0; column < 8; ++column)
            EXPECT_EQ(editor->palette[8 + column] == kFill, column >= c.changed) << column;
        EXPECT_EQ(editor->palette[7], 2u);
        EXPECT_EQ(editor->palette[16], 2u);
    }
}

TEST_F(PaletteTest, FirstWordOfTheFirstLineMustBeTheMagicWord) {
    struct Case {
        std::string firstLine;
        bool accepted;
    };
    const Case cases[] = {
        {"BlokkenveldPalette\n", true},
        {"BlokkenveldPalette version 2\n", true},
        {"  BlokkenveldPalette\r\n", true},
        {"BlokkenveldPalette" + std::string(400, ' ') + "x\n", true},
        {"blokkenveldpalette\n", false},
        {"BlokkenveldPalette2\n", false},
        {"Blokkenveld\n", false},
        {"\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstLine);
        for (uint32_t& entry : editor->palette)
            entry = kFill;
        const std::string rest = c.firstLine.empty() ? "" : kEightTwos;
        EXPECT_EQ(LoadPalette(*editor, files, WriteRaw("magic.bvp", c.firstLine + rest).c_str()), c.accepted);
        EXPECT_EQ(editor->palette[0], c.accepted ? 2u : kFill);
    }
    EXPECT_FALSE(LoadPalette(*editor, files, (folder / "missing.bvp").string().c_str()));
    EXPECT_EQ(editor->palette[0], kFill);
}

TEST_F(PaletteTest, AcceptsCarriageReturnLineEnds) {
    std::string file = std::string(kPaletteMagic) + "\r\n";
    for (int row = 0; row < 8; ++row)
        file += "ffffffff 0 0 0 0 0 0 " + std::to_string(10 + row) + "\r\n";
    ASSERT_TRUE(LoadPalette(*editor, files, WriteRaw("crlf.bvp", file).c_str()));
    EXPECT_EQ(editor->palette[0], 0xffffffffu);
    EXPECT_EQ(editor->palette[7], 0x10u);
    EXPECT_EQ(editor->palette[63], 0x17u);
}

TEST_F(PaletteTest, MissingRowsKeepTheirEntries) {
    ASSERT_TRUE(LoadPalette(*editor, files, WriteRaw("short.bvp", Magic() + kEightTwos + "3 3 3").c_str()));
    EXPECT_EQ(editor->palette[7], 2u);
    EXPECT_EQ(editor->palette[10], 3u);
    EXPECT_EQ(editor->palette[11], kFill);
    EXPECT_EQ(editor->palette[16], kFill);
    EXPECT_EQ(editor->palette[63], kFill);
}

TEST_F(PaletteTest, RestOfAnOverlongRowLineIsNotTheNextRow) {
    const std::string longRow = "1 1 1 1 1 1 1 1" + std::string(300, ' ') + "9 9 9 9 9 9 9 9\n";
    ASSERT_TRUE(LoadPalette(*editor, files, WriteRaw("long.bvp", Magic() + longRow + kEightTwos).c_str()));
    EXPECT_EQ(editor->palette[7], 1u);
    EXPECT_EQ(editor->palette[8], 2u);
    EXPECT_EQ(editor->palette[16], kFill);
}

TEST_F(PaletteTest, StartupWithoutAFileFallsBackToWhite) {
    editor->paintWindow.x = 40.0f;
    editor->currentColour = 0xFF000000;
    editor->red = editor->green = editor->blue = 0;
    LoadStartupPalette(*editor, files, (folder / "none.bvp").string().c_str());
    for (int entry = 0; entry < kPaletteSize; ++entry) {
        EXPECT_EQ(editor->palette[entry], kWhite);
        EXPECT_EQ(editor->paintColourVertices[entry * 6].diffuse, kWhite);
    }
    EXPECT_EQ(editor->currentColour, kWhite);
    EXPECT_EQ(editor->red + editor->green + editor->blue, 3 * 255);
    for (int bar = 65; bar <= 67; ++bar)
        EXPECT_EQ(editor->paintColourVertices[bar * 6 + 5].x, 40.0f + 116);
    EXPECT_EQ(editor->paintTextureVertices[5].u, 1.0f);
}

TEST_F(PaletteTest, StartupTakesTheCurrentColourFromEntry0) {
    editor->paletteIndex = 9;
    const std::string file = Magic() + "80abcdef 5 5 5 5 5 5 5\n" + kEightTwos;
    LoadStartupPalette(*editor, files, WriteRaw("start.bvp", file).c_str());
    EXPECT_EQ(editor->currentColour, 0x80abcdefu);
    EXPECT_EQ(editor->red, 0xab);
    EXPECT_EQ(editor->palette[9], 2u);
    EXPECT_EQ(editor->palette[16], kFill);
}

TEST_F(PaletteTest, BarEndsFollowTheComponents) {
    const struct {
        int32_t component;
        float end;
    } cases[] = {{0, 52}, {3, 52}, {4, 53}, {128, 84}, {254, 115}, {255, 116}};
    editor->paintWindow.x = 200.0f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.component);
        editor->red = editor->green = editor->blue = c.component;
        BuildPaletteQuads(*editor);
        for (int bar = 0; bar < 3; ++bar) {
            const PaintColourVertex* quad = &editor->paintColourVertices[(65 + bar) * 6];
            const float top = static_cast<float>(264 + 16 * bar);
            ExpectQuad(quad, 252.0f, top, 200.0f + c.end, top + 12.0f);
            EXPECT_EQ(quad[0].diffuse, 0xFF9696FFu);
        }
    }
}

TEST_F(PaletteTest, QuadsSitAtThePanelPosition) {
    editor->paintWindow.x = 300.0f;
    editor->paintWindow.y = 40.0f;
    editor->currentColour = 0xFF123456;
    editor->textureColumn = 7;
    editor->textureRow = 2;
    RefreshCellColours(*editor);
    BuildPaletteQuads(*editor);
    BuildTextureQuads(*editor);
    const PaintColourVertex* colour = editor->paintColourVertices;
    ExpectQuad(&colour[0], 325, 118, 341, 134);
    ExpectQuad(&colour[(3 + 8 * 5) * 6], 373, 198, 389, 214);
    ExpectQuad(&colour[63 * 6], 437, 230, 453, 246);
    EXPECT_EQ(colour[63 * 6].diffuse, kFill);  // positions only: the cells keep their colours
    ExpectQuad(&colour[64 * 6], 325, 250, 373, 298);
    EXPECT_EQ(colour[64 * 6 + 5].diffuse, 0xFF123456u);

    const PaintTextureVertex* texture = editor->paintTextureVertices;
    ExpectQuad(texture, 325, 358, 453, 486);
    ExpectQuad(texture + 6, 325, 490, 373, 538);
    const float atlasUs[6] = {0, 1, 0, 0, 1, 1};
    const float atlasVs[6] = {0, 0, 1, 1, 0, 1};
    const float previewUs[6] = {0.875f, 1, 0.875f, 0.875f, 1, 1};
    const float previewVs[6] = {0.25f, 0.25f, 0.375f, 0.375f, 0.25f, 0.375f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(texture[i].u, atlasUs[i]);
        EXPECT_EQ(texture[i].v, atlasVs[i]);
        EXPECT_EQ(texture[6 + i].u, previewUs[i]);
        EXPECT_EQ(texture[6 + i].v, previewVs[i]);
        EXPECT_EQ(texture[i].diffuse, kWhite);
        EXPECT_EQ(texture[6 + i].diffuse, kWhite);
    }
}

}  // namespace

// A NUL inside a row ends what is scanned of that row, but the next row still starts on the next line.
TEST_F(PaletteTest, ANulByteNeverHidesTheNextRow) {
    const std::string file = Magic() + std::string("5 5\0 9 9\n", 9) + "6 6 6 6 6 6 6 6\n";
    ASSERT_TRUE(LoadPalette(*editor, files, WriteRaw("nul.bvp", file).c_str()));
    EXPECT_EQ(editor->palette[1], 5u);
    EXPECT_EQ(editor->palette[2], kFill);
    EXPECT_EQ(editor->palette[8], 6u);
    EXPECT_EQ(editor->palette[16], kFill);
}
