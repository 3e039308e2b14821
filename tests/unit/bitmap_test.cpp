#include "files/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kBlack = 0xFF000000;

// Describes a BMP file to assemble; rows are given unpadded, in file order.
struct BmpLayout {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks;    // written after a 40-byte header, inside larger ones
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    uint32_t gapBeforePixels = 0;   // extra bytes between the colour table and the pixels
    std::vector<std::vector<uint8_t>> rows;
};

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    Put16(out, at, v);
    Put16(out, at + 2, v >> 16);
}

std::vector<uint8_t> BuildBmp(const BmpLayout& layout) {
    std::vector<uint8_t> out(14 + layout.headerSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 14, layout.headerSize);
    if (layout.headerSize == 12) {
        Put16(out, 18, static_cast<uint32_t>(layout.width));
        Put16(out, 20, static_cast<uint32_t>(layout.height));
        Put16(out, 22, 1);
        Put16(out, 24, layout.bitsPerPixel);
    } else {
        Put32(out, 18, static_cast<uint32_t>(layout.width));
        Put32(out, 22, static_cast<uint32_t>(layout.height));
        Put16(out, 26, 1);
        Put16(out, 28, layout.bitsPerPixel);
        Put32(out, 30, layout.compression);
        Put32(out, 46, layout.coloursUsed);
    }
    for (size_t i = 0; i < layout.masks.size(); ++i) {
        size_t at = 54 + 4 * i;
        if (at + 4 > out.size()) {
            out.resize(at + 4);
        }
        Put32(out, at, layout.masks[i]);
    }
    for (uint32_t colour : layout.palette) {
        out.push_back(static_cast<uint8_t>(colour));
        out.push_back(static_cast<uint8_t>(colour >> 8));
        out.push_back(static_cast<uint8_t>(colour >> 16));
        if (layout.headerSize != 12) {
            out.push_back(0);
        }
    }
    out.resize(out.size() + layout.gapBeforePixels, 0xEE);
    const size_t pixelStart = out.size();
    Put32(out, 10, static_cast<uint32_t>(pixelStart));
    for (const std::vector<uint8_t>& row : layout.rows) {
        out.insert(out.end(), row.begin(), row.end());
        out.resize(pixelStart + (out.size() - pixelStart + 3) / 4 * 4, 0);
    }
    Put32(out, 2, static_cast<uint32_t>(out.size()));
    return out;
}

bool Decode(const std::vector<uint8_t>& file, Image& image) {
    return DecodeBitmap(file.data(), file.size(), image);
}

void ExpectPixels(const Image& image, int width, int height, const std::vector<uint32_t>& expected) {
    EXPECT_EQ(width, image.width);
    EXPECT_EQ(height, image.height);
    ASSERT_EQ(expected.size(), image.pixels.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i], image.pixels[i]) << std::hex << "pixel " << std::dec << i;
    }
}

// A 3x2 24-bit picture used as a base for the rejection cases.
BmpLayout Small24() {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    return layout;
}

}  // namespace

TEST(BitmapDecode, Indexed1BitOddWidthBottomUp) {
    BmpLayout layout;
    layout.width = 10;  // two bytes of bits, padded to four
    layout.height = 2;
    layout.bitsPerPixel = 1;
    layout.palette = {0x102030, 0xA0B0C0};
    layout.rows = {{0xC0, 0x40}, {0x80, 0x80}};  // bottom row first
    Image image;
    ASSERT_TRUE(Decode(BuildBmp(layout), image));
    const uint32_t o = 0xFF102030;
    const uint32_t i = 0xFFA0B0C0;
    ExpectPixels(image, 10, 2, {i, o, o, o, o, o, o, o, i, o, i, i, o, o, o, o, o, o, o, i});
}

TEST(BitmapDecode, Indexed4BitWithShortTable) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.bitsPerPixel = 4;
    layout.coloursUsed = 3;
    layout.palette = {0x0000FF, 0x00FF00, 0xFF0000};
    layout.rows = {{0x01, 0x20}, {0x3F, 0x10}};  // indices 3 and 15 lie past the table
    Image image;
    ASSERT_TRUE(Decode(BuildBmp(layout), image));
    ExpectPixels(image, 3, 2, {kBlack, kBlack, 0xFF00FF00, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000});
}

TEST(BitmapDecode, Indexed8BitTopDownShortTable) {
    BmpLayout layout;
    layout.width = 5;
    layout.height = -2;
    layout.bitsPerPixel = 8;
    layout.coloursUsed = 2;
    layout.palette = {0x112233, 0x445566};
    layout.rows = {{0, 1, 2, 255, 1}, {1, 1, 0, 0, 7}};
    Image image;
    ASSERT_TRUE(Decode(BuildBmp(layout), image));
    const uint32_t a = 0xFF112233;
    const uint32_t b = 0xFF445566;
    ExpectPixels(image, 5, 2, {a, b, kBlack, kBlack, b, b, b, a, a, kBlack});
}

TEST(BitmapDecode, Indexed8BitTableEndsAtPixelData) {
    // biClrUsed says "all 256" but only two entries fit before bfOffBits.
    BmpLayout layout;
    layout.width = 3;
    layout.height = 1;
    layout.bitsPerPixel = 8;
    layout.palette = {0x010203, 0x040506};
    layout.rows = {{0, 1, 2}};
    Image image;
    ASSERT_TRUE(Decode(BuildBmp(layout), image));
    ExpectPixels(image, 3, 1, {0xFF010203, 0xFF040506, kBlack});
}

TEST(BitmapDecode, PixelDataStartsAtOffBits) {
    BmpLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.bitsPerPixel = 8;
    layout.coloursUsed = 2;
    layout.palette = {0x000000, 0xFFFFFF};
    layout.gapBeforePixels = 10;
    layout.rows = {{1, 0}};
    Image image;
    ASSERT_TRUE(Decode(BuildBmp(layout), image));
    ExpectPixels(image, 2, 1, {0xFFFFFFFF, kBlack});
}

TEST(BitmapDecode, Direct16Bit) {
    // Default 5-5-5: 0x7C00 is full red; 0x0200 has green 16 of 31.
    BmpLayout rgb555;
    rgb555.width = 3;  // six bytes, padded to eight
    rgb555.height = 1;
    rgb555.bitsPerPixel = 16;
    rgb555.rows = {{0x00, 0x7C, 0x00, 0x02, 0xFF, 0xFF}};
    Image image;
    ASSERT_TRUE(Decode(BuildBmp(rgb555), image));
    ExpectPixels(image, 3, 1, {0xFFFF0000, 0xFF008400, 0xFFFFFFFF});

    // 5-6-5 through BI_BITFIELDS: green has six bits, so 0x07E0 is full green and 0x0020 is 1 of 63.
    BmpLayout rgb565 = rgb555;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.height = -2;
    rgb565.rows = {{0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}, {0x20, 0x00, 0x00, 0x00, 0xFF, 0xFF}};
    ASSERT_TRUE(Decode(BuildBmp(rgb565), image));
    ExpectPixels(image, 3, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000400, kBlack, 0xFFFFFFFF});
}

TEST(BitmapDecode, Direct24BitBothRowOrders) {
    BmpLayout layout = Small24();  // nine bytes a row, padded to twelve
    Image bottomUp;
    ASSERT_TRUE(Decode(BuildBmp(layout), bottomUp));
    ExpectPixels(bottomUp, 3, 2, {0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110, 0xFF030201, 0xFF060504, 0xFF090807});

    layout.height = -2;
    Image topDown;
    ASSERT_TRUE(Decode(BuildBmp(layout), topDown));
    ExpectPixels(topDown, 3, 2, {0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110});
}

TEST(BitmapDecode, Direct32Bit) {
    // BI_RGB is BGRx: the fourth byte is ignored and every pixel comes out opaque.
    BmpLayout bgrx;
    bgrx.width = 2;
    bgrx.height = 1;
    bgrx.bitsPerPixel = 32;
    bgrx.rows = {{0x11, 0x22, 0x33, 0x00, 0x44, 0x55, 0x66, 0x80}};
    Image image;
    ASSERT_TRUE(Decode(BuildBmp(bgrx), image));
    ExpectPixels(image, 2, 1, {0xFF332211, 0xFF665544});

    // Bit fields in RGBA byte order.
    BmpLayout rgba = bgrx;
    rgba.compression = 3;
    rgba.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    ASSERT_TRUE(Decode(BuildBmp(rgba), image));
    ExpectPixels(image, 2, 1, {0xFF112233, 0xFF445566});
}

TEST(BitmapDecode, LargerAndOlderHeaders) {
    // V4 and V5 carry their masks inside the header.
    for (uint32_t headerSize : {108u, 124u}) {
        BmpLayout layout;
        layout.headerSize = headerSize;
        layout.width = 1;
        layout.height = 2;
        layout.bitsPerPixel = 16;
        layout.compression = 3;
        layout.masks = {0xF800, 0x07E0, 0x001F};
        layout.rows = {{0x1F, 0x00}, {0x00, 0xF8}};
        Image image;
        ASSERT_TRUE(Decode(BuildBmp(layout), image)) << headerSize;
        ExpectPixels(image, 1, 2, {0xFFFF0000, 0xFF0000FF});

        // With BI_RGB the header's masks are ignored.
        layout.compression = 0;
        layout.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
        layout.bitsPerPixel = 24;
        layout.rows = {{0x01, 0x02, 0x03}, {0x04, 0x05, 0x06}};
        ASSERT_TRUE(Decode(BuildBmp(layout), image)) << headerSize;
        ExpectPixels(image, 1, 2, {0xFF060504, 0xFF030201});
    }

    // OS/2 core header: 16-bit sizes and three-byte table entries.
    BmpLayout core;
    core.headerSize = 12;
    core.width = 3;
    core.height = 1;
    core.bitsPerPixel = 8;
    core.palette = {0xAABBCC, 0x010203};
    core.rows = {{1, 0, 1}};
    Image image;
    ASSERT_TRUE(Decode(BuildBmp(core), image));
    ExpectPixels(image, 3, 1, {0xFF010203, 0xFFAABBCC, 0xFF010203});
}

TEST(BitmapDecode, RejectsMalformedFiles) {
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
    };
    auto with = [](void (*change)(BmpLayout&)) {
        BmpLayout layout = Small24();
        change(layout);
        return BuildBmp(layout);
    };
    auto patched = [](size_t at, uint32_t value) {
        std::vector<uint8_t> file = BuildBmp(Small24());
        Put32(file, at, value);
        return file;
    };
    std::vector<uint8_t> badSignature = BuildBmp(Small24());
    badSignature[1] = 'A';
    std::vector<uint8_t> truncatedHeader = BuildBmp(Small24());
    truncatedHeader.resize(40);
    std::vector<uint8_t> truncatedPixels = BuildBmp(Small24());
    truncatedPixels.resize(truncatedPixels.size() - 4);  // the last row loses more than its padding
    std::vector<uint8_t> truncatedMasks = with([](BmpLayout& s) {
        s.bitsPerPixel = 16;
        s.compression = 3;
    });
    truncatedMasks.resize(58);
    std::vector<uint8_t> truncatedTable = with([](BmpLayout& s) {
        s.bitsPerPixel = 8;
        s.palette = std::vector<uint32_t>(256, 0x123456);
        s.rows.clear();
    });
    truncatedTable.resize(54 + 100 * 4);
    Put32(truncatedTable, 10, 54 + 256 * 4);

    const Case cases[] = {
        {"bad signature", badSignature},
        {"header cut short", truncatedHeader},
        {"pixels cut short", truncatedPixels},
        {"masks cut short", truncatedMasks},
        {"colour table cut short", truncatedTable},
        {"RLE8", with([](BmpLayout& s) {
             s.bitsPerPixel = 8;
             s.compression = 1;
         })},
        {"RLE4", with([](BmpLayout& s) {
             s.bitsPerPixel = 4;
             s.compression = 2;
         })},
        {"JPEG", with([](BmpLayout& s) { s.compression = 4; })},
        {"PNG", with([](BmpLayout& s) { s.compression = 5; })},
        {"unknown compression", with([](BmpLayout& s) { s.compression = 99; })},
        {"bit fields on 24-bit", with([](BmpLayout& s) {
             s.compression = 3;
             s.masks = {0xFF, 0xFF00, 0xFF0000};
         })},
        {"2 bits per pixel", with([](BmpLayout& s) { s.bitsPerPixel = 2; })},
        {"0 bits per pixel", with([](BmpLayout& s) { s.bitsPerPixel = 0; })},
        {"64 bits per pixel", with([](BmpLayout& s) { s.bitsPerPixel = 64; })},
        {"unknown header size", patched(14, 64)},
        {"zero width", with([](BmpLayout& s) { s.width = 0; })},
        {"negative width", with([](BmpLayout& s) { s.width = -3; })},
        {"zero height", with([](BmpLayout& s) { s.height = 0; })},
        {"width over 32768", patched(18, 32769)},
        {"height over 32768", patched(22, 32769)},
        {"top-down height over 32768", patched(22, static_cast<uint32_t>(-32769))},
        {"most negative height", patched(22, 0x80000000u)},
        {"huge width and height", patched(18, 0xFFFFFFFFu)},
        {"max sides, tiny data",
         [] {
             std::vector<uint8_t> file = BuildBmp(Small24());
             Put32(file, 18, 32768);
             Put32(file, 22, 32768);
             return file;
         }()},
        {"large sides, tiny data",
         [] {
             std::vector<uint8_t> file = BuildBmp(Small24());
             Put32(file, 18, 8192);
             Put32(file, 22, static_cast<uint32_t>(-8192));
             return file;
         }()},
        {"offset past the end", patched(10, 0xFFFFFFF0u)},
        {"offset inside the header", patched(10, 20)},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        Image image;
        image.width = 7;
        EXPECT_FALSE(Decode(c.file, image)) << c.name;
        EXPECT_EQ(7, image.width) << c.name;
        EXPECT_TRUE(image.pixels.empty()) << c.name;
    }
    Image image;
    EXPECT_FALSE(DecodeBitmap(nullptr, 0, image));
}

TEST(BitmapDecode, EveryTruncationIsRejectedOrDecodedSafely) {
    // The last row may lose its padding and still decode; any shorter prefix must fail.
    BmpLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.bitsPerPixel = 4;
    layout.palette = {0xFF0000, 0x00FF00};
    layout.rows = {{0x01, 0x10, 0x00}, {0x11, 0x11, 0x10}, {0x00, 0x00, 0x00}};
    const std::vector<uint8_t> file = BuildBmp(layout);
    const size_t shortest = file.size() - 1;  // three bytes of row data plus one of padding
    for (size_t length = 0; length < file.size(); ++length) {
        // A fresh copy of just the prefix, so reading past it would be a real overrun.
        std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        Image image;
        EXPECT_EQ(length >= shortest, DecodeBitmap(prefix.data(), prefix.size(), image)) << length;
    }
}

TEST(BitmapEncode, HeaderAndPadding) {
    Image image;
    image.width = 5;
    image.height = 2;
    image.pixels.assign(10, 0x80123456);
    std::vector<uint8_t> file = EncodeBitmap24(image);
    const size_t stride = 16;  // 15 bytes of pixels rounded up to a multiple of 4
    ASSERT_EQ(54 + 2 * stride, file.size());
    auto at32 = [&file](size_t at) {
        return static_cast<uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
                                     static_cast<uint32_t>(file[at + 3]) << 24);
    };
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    EXPECT_EQ(file.size(), at32(2));
    EXPECT_EQ(54u, at32(10));
    EXPECT_EQ(40u, at32(14));
    EXPECT_EQ(5u, at32(18));
    EXPECT_EQ(2u, at32(22));  // positive: bottom-up
    EXPECT_EQ(1, file[26] | file[27] << 8);
    EXPECT_EQ(24, file[28] | file[29] << 8);
    EXPECT_EQ(0u, at32(30));
    EXPECT_EQ(2 * stride, at32(34));
    EXPECT_EQ(2835u, at32(38));
    EXPECT_EQ(2835u, at32(42));
    EXPECT_EQ(0x56, file[54]);
    EXPECT_EQ(0x34, file[55]);
    EXPECT_EQ(0x12, file[56]);
    EXPECT_EQ(0, file[54 + 15]);  // padding is zeroed

    Image mismatched = image;
    mismatched.pixels.pop_back();
    EXPECT_TRUE(EncodeBitmap24(mismatched).empty());
    EXPECT_TRUE(EncodeBitmap24(Image{}).empty());
}

TEST(BitmapEncode, RoundTripKeepsEveryPixel) {
    for (int width : {1, 2, 3, 4, 7, 33}) {
        Image image;
        image.width = width;
        image.height = 3;
        uint32_t seed = 12345u + static_cast<uint32_t>(width);
        for (int i = 0; i < width * 3; ++i) {
            seed = seed * 1664525u + 1013904223u;
            image.pixels.push_back(seed);
        }
        Image decoded;
        ASSERT_TRUE(Decode(EncodeBitmap24(image), decoded)) << width;
        ASSERT_EQ(width, decoded.width);
        ASSERT_EQ(3, decoded.height);
        ASSERT_EQ(image.pixels.size(), decoded.pixels.size());
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            EXPECT_EQ(image.pixels[i] | 0xFF000000u, decoded.pixels[i]) << width << " pixel " << i;
        }
    }
}
