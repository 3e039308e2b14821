#include "files/bitmap_import.h"

#include <gtest/gtest.h>

#include "editor/document/document.h"
#include "fake_platform.h"
#include "file_fixtures.h"

namespace {

ImportResult Parse(const std::string& bytes, ImportedLayer& layer) {
    return ParseImportBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), layer);
}

// A 24-bit bitmap whose pixel (c, stored row r) is 0x0000RRCC-ish: blue = c, green = r, red = 0x80.
BitmapBuilder Numbered(int32_t width, int32_t height) {
    BitmapBuilder b;
    b.width = width;
    b.height = height;
    const int32_t rows = height < 0 ? -height : height;
    const int32_t stride = (width * 3 + 3) / 4 * 4;
    b.rows.assign(static_cast<size_t>(stride * rows), 0);
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < width; ++c) {
            uint8_t* p = &b.rows[static_cast<size_t>(r * stride + c * 3)];
            p[0] = static_cast<uint8_t>(c);
            p[1] = static_cast<uint8_t>(r);
            p[2] = 0x80;
        }
    }
    return b;
}

}  // namespace

TEST(BitmapImport, PixelsBecomeALayerOfCubes) {
    EditorRig rig;
    rig.Frame();
    TempFolder folder;
    StdFileSystem files;
    rig.editor->named = true;
    const std::string path = folder.Write("two.bmp", Numbered(2, 2).Bytes());
    ASSERT_EQ(ImportBitmap(*rig.editor, files, path.c_str()), kImported);
    const Scene& scene = rig.editor->scene;
    EXPECT_EQ(scene.liveCubeCount, 4);
    EXPECT_EQ(scene.highestUsedSlot, 3);
    // The first stored pixel lies at the largest x of the bottom row; the last at (100, 100, 100).
    EXPECT_EQ(scene.cubes[0].x, 101.0f);
    EXPECT_EQ(scene.cubes[0].y, 99.0f);
    EXPECT_EQ(scene.cubes[0].colour, 0xFF800000u);
    EXPECT_EQ(scene.cubes[3].x, 100.0f);
    EXPECT_EQ(scene.cubes[3].y, 100.0f);
    EXPECT_EQ(scene.cubes[3].z, 100.0f);
    EXPECT_EQ(scene.cubes[3].colour, 0xFF800101u);
    EXPECT_FALSE(rig.editor->named);  // the next save asks for a name
    EXPECT_TRUE(rig.editor->ignoreNextClick);

    // Stored top-down, the same picture gives the same cubes.
    ImportedLayer up, down;
    BitmapBuilder flipped = Numbered(3, -2);
    std::swap_ranges(flipped.rows.begin(), flipped.rows.begin() + 12, flipped.rows.begin() + 12);
    ASSERT_EQ(Parse(Numbered(3, 2).Bytes(), up), kImported);
    ASSERT_EQ(Parse(flipped.Bytes(), down), kImported);
    EXPECT_EQ(up.colours, down.colours);
}

TEST(BitmapImport, ChecksComeInTheirOrder) {
    struct Case {
        const char* what;
        BitmapBuilder bitmap;
        ImportResult result;
    };
    BitmapBuilder wide = Numbered(101, 50);
    BitmapBuilder sixteen = Numbered(50, 50);
    sixteen.bits = 16;
    BitmapBuilder four = Numbered(50, 50);
    four.bits = 4;
    BitmapBuilder v4 = Numbered(2, 2);
    v4.infoSize = 108;
    BitmapBuilder wideSixteen = Numbered(101, 50);
    wideSixteen.bits = 16;
    BitmapBuilder compressed = Numbered(2, 2);
    compressed.compression = 1;
    BitmapBuilder tall = Numbered(2, -101);
    const Case cases[] = {{"101 x 50", wide, kImportTooLarge},
                          {"16 bits", sixteen, kImportUnsupported},
                          {"4 bits", four, kImportUnsupported},
                          {"108-byte header", v4, kImportUnsupported},
                          {"too large first", wideSixteen, kImportTooLarge},
                          {"compressed", compressed, kImportUnsupported},
                          {"top-down 101", tall, kImportTooLarge}};
    for (const Case& c : cases) {
        ImportedLayer layer;
        EXPECT_EQ(Parse(c.bitmap.Bytes(), layer), c.result) << c.what;
    }
    ImportedLayer layer;
    EXPECT_EQ(Parse("", layer), kImportReadFailure);
    EXPECT_EQ(Parse("XM" + Numbered(1, 1).Bytes().substr(2), layer), kImportReadFailure);
    // Shorter than its pixels: nothing is read past the end.
    const std::string whole = Numbered(10, 10).Bytes();
    EXPECT_EQ(Parse(whole.substr(0, whole.size() - 1), layer), kImportReadFailure);
    EXPECT_EQ(Parse(whole.substr(0, 30), layer), kImportReadFailure);
}

TEST(BitmapImport, EightBitsThroughTheirColourTableWherePixelsReallyStart) {
    BitmapBuilder b;
    b.width = 3;
    b.height = 1;
    b.bits = 8;
    b.tableEntries = 2;  // a short table: index 2 lies past it
    b.table = {0x112233, 0x445566};
    b.rows = {1, 0, 2, 0};
    ImportedLayer layer;
    ASSERT_EQ(Parse(b.Bytes(), layer), kImported);
    EXPECT_EQ(layer.colours, (std::vector<uint32_t>{0xFF445566, 0xFF112233, 0xFF000000}));
    // A file that ends inside its colour table cannot be read, by a byte or by a whole entry.
    const std::string table = b.Bytes().substr(0, 54 + 8);
    EXPECT_EQ(Parse(table.substr(0, table.size() - 1), layer), kImportReadFailure);
    EXPECT_EQ(Parse(table.substr(0, table.size() - 4), layer), kImportReadFailure);

    // Pixels placed after a gap are read from where the header says they start.
    BitmapBuilder gap = Numbered(1, 1);
    std::string bytes = gap.Bytes();
    bytes.insert(54, 10, '\x77');
    bytes[10] = 64;
    ASSERT_EQ(Parse(bytes, layer), kImported);
    EXPECT_EQ(layer.colours[0], 0xFF800000u);

    // A 32-bit pixel's fourth byte is not alpha: every cube is opaque.
    BitmapBuilder wide = Numbered(1, 1);
    wide.bits = 32;
    wide.rows = {1, 2, 3, 0};
    ASSERT_EQ(Parse(wide.Bytes(), layer), kImported);
    EXPECT_EQ(layer.colours[0], 0xFF030201u);
}

TEST(BitmapImport, TextureBitmapsMustBe128Square) {
    const auto check = [](const BitmapBuilder& b) {
        const std::string bytes = b.Bytes();
        return CheckTextureBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    };
    BitmapBuilder b;
    b.width = 128;
    b.height = 128;
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        b.bits = bits;
        EXPECT_EQ(check(b), kTextureAccepted) << bits;
    }
    b.height = -128;
    EXPECT_EQ(check(b), kTextureAccepted);
    b.height = 64;
    EXPECT_EQ(check(b), kTextureWrongSize);
    b.infoSize = 124;
    EXPECT_EQ(check(b), kTextureReadFailure);
}
