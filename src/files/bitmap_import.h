// Bitmaps coming in as a layer of cubes (at most 100 x 100 pixels), and the header checks of a bitmap
// that is to replace the texture atlas.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum ImportResult : int {
    kImportReadFailure = 0,  // cannot be read, empty, no "BM", or shorter than its pixels
    kImported = 1,
    kImportTooLarge = 2,     // wider or taller than 100 pixels
    kImportUnsupported = 3,  // not a 40-byte info header, not 8, 24 or 32 bits, compressed, or malformed
};

enum TextureCheck : int {
    kTextureReadFailure = 0,  // cannot be read, empty, no "BM", or not a 40-byte info header
    kTextureAccepted = 1,
    kTextureWrongSize = 2,  // not 128 x 128
};

constexpr int kMaxImportSide = 100;
constexpr int kAtlasSide = 128;

// The pixels of an imported bitmap, bottom row first whatever the file's row order; 0xFFRRGGBB.
struct ImportedLayer {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> colours;  // row r from the bottom, pixel c from the first stored: index r * width + c
};

// The checks of the import in their order, then the pixels. Reads nothing outside data.
ImportResult ParseImportBitmap(const uint8_t* data, size_t size, ImportedLayer& out);
// The header checks of a texture bitmap; the bit depth and the pixels are left to the decoder.
TextureCheck CheckTextureBitmap(const uint8_t* data, size_t size);
