// Reading and writing Windows .bmp files: the texture atlas comes in through DecodeBitmap, and
// screenshots and exported atlases go out through EncodeBitmap24.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
    int width = 0;                 // pixels
    int height = 0;                // pixels
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, row-major, row 0 is the top of the picture
};

// Largest width or height accepted from a file.
constexpr int kMaxBitmapSide = 32768;
// Largest width x height accepted from a file, so a small hostile file cannot demand gigabytes of pixels.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;

// Decodes an uncompressed BMP (1, 4, 8, 16, 24 or 32 bits, colour table or bit-field masks, either row
// order) into out, every pixel fully opaque. Returns false and leaves out untouched for anything it cannot
// read safely: truncated or malformed data, compressed pixels, absurd sizes.
bool DecodeBitmap(const uint8_t* data, size_t size, Image& out);

// A complete 24-bit bottom-up BMP file; alpha is dropped. Empty when the image's size and pixel count
// disagree or it has no pixels.
std::vector<uint8_t> EncodeBitmap24(const Image& image);
