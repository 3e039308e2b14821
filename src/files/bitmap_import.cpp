#include "files/bitmap_import.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
constexpr uint16_t kSignature = 0x4D42;  // "BM"
constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF;
constexpr uint32_t kOpaque = 0xFF000000;

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int64_t I32(const uint8_t* p) {
    const uint32_t u = U32(p);
    return u < 0x80000000u ? static_cast<int64_t>(u) : static_cast<int64_t>(u) - (int64_t{1} << 32);
}

struct Headers {
    uint32_t pixelOffset;
    uint32_t infoSize;
    int64_t width;
    int64_t height;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t coloursUsed;
};

// The signature and as much of the info header as the file holds; false when even that is missing.
bool ReadHeaders(const uint8_t* data, size_t size, Headers& h) {
    if (size < kFileHeaderSize + 4 || U16(data) != kSignature)
        return false;
    h.pixelOffset = U32(data + 10);
    h.infoSize = U32(data + kFileHeaderSize);
    return true;
}

bool ReadInfo(const uint8_t* data, size_t size, Headers& h) {
    if (size < kHeadersSize)
        return false;
    const uint8_t* info = data + kFileHeaderSize;
    h.width = I32(info + 4);
    h.height = I32(info + 8);
    h.bitCount = U16(info + 14);
    h.compression = U32(info + 16);
    h.coloursUsed = U32(info + 32);
    return true;
}

}  // namespace

ImportResult ParseImportBitmap(const uint8_t* data, size_t size, ImportedLayer& out) {
    Headers h{};
    if (!ReadHeaders(data, size, h))
        return kImportReadFailure;
    if (h.infoSize != kInfoHeaderSize)
        return kImportUnsupported;
    if (!ReadInfo(data, size, h))
        return kImportReadFailure;
    // A negative height stores the rows top-down; the size counts either way.
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    if (h.width > kMaxImportSide || rows > kMaxImportSide)
        return kImportTooLarge;
    if (h.bitCount != 8 && h.bitCount != 24 && h.bitCount != 32)
        return kImportUnsupported;
    if (h.width < 0)
        return kImportUnsupported;

    size_t tableOffset = kHeadersSize;
    if (h.compression == kCompressionBitFields && h.bitCount == 32) {
        // Masks follow the header; only the plain layout of red, green and blue bytes is read.
        if (size < kHeadersSize + 12)
            return kImportReadFailure;
        if (U32(data + kHeadersSize) != kRedMask || U32(data + kHeadersSize + 4) != kGreenMask ||
            U32(data + kHeadersSize + 8) != kBlueMask)
            return kImportUnsupported;
        tableOffset += 12;
    } else if (h.compression != kCompressionRgb) {
        return kImportUnsupported;
    }

    // Indices past a short colour table read as black.
    uint32_t table[256];
    for (uint32_t& entry : table)
        entry = kOpaque;
    uint32_t entries = 0;
    if (h.bitCount == 8) {
        entries = h.coloursUsed == 0 ? 256 : h.coloursUsed;
        if (entries > 256)
            return kImportUnsupported;
        if (tableOffset + entries * 4 > size)
            return kImportReadFailure;
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* e = data + tableOffset + i * 4;
            table[i] = kOpaque | static_cast<uint32_t>(e[2]) << 16 | static_cast<uint32_t>(e[1]) << 8 | e[0];
        }
    }

    if (h.pixelOffset < tableOffset + entries * 4)
        return kImportUnsupported;  // the pixels would overlap the headers
    const int64_t width = h.width;
    const int64_t stride = (width * h.bitCount / 8 + 3) / 4 * 4;
    if (static_cast<uint64_t>(h.pixelOffset) + static_cast<uint64_t>(stride * rows) > size)
        return kImportReadFailure;
    ImportedLayer layer;
    layer.width = static_cast<int32_t>(width);
    layer.height = static_cast<int32_t>(rows);
    layer.colours.resize(static_cast<size_t>(width * rows));
    const int bytesPerPixel = h.bitCount / 8;
    for (int64_t r = 0; r < rows; ++r) {
        // Row r from the bottom: stored first in a bottom-up file, last in a top-down one.
        const int64_t stored = h.height < 0 ? rows - 1 - r : r;
        const uint8_t* row = data + h.pixelOffset + stored * stride;
        for (int64_t c = 0; c < width; ++c) {
            const uint8_t* p = row + c * bytesPerPixel;
            layer.colours[static_cast<size_t>(r * width + c)] =
                h.bitCount == 8 ? table[p[0]]
                                : kOpaque | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
        }
    }
    out = std::move(layer);
    return kImported;
}

TextureCheck CheckTextureBitmap(const uint8_t* data, size_t size) {
    Headers h{};
    if (!ReadHeaders(data, size, h) || h.infoSize != kInfoHeaderSize || !ReadInfo(data, size, h))
        return kTextureReadFailure;
    // A top-down 128 x 128 bitmap (negative height) is as good an atlas as a bottom-up one.
    if (h.width != kAtlasSide || (h.height != kAtlasSide && h.height != -kAtlasSide))
        return kTextureWrongSize;
    return kTextureAccepted;
}
