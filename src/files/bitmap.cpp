// The program's own BMP reader and writer. The reader treats every file as hostile: each offset and
// size is checked against the buffer in 64-bit arithmetic before anything is read or allocated.
#if defined(_MSC_VER) && !defined(_CRT_SECURE_NO_WARNINGS)
#define _CRT_SECURE_NO_WARNINGS  // std::fopen is the portable choice; the _s variants are not
#endif

#include "files/bitmap.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2 1.x: 16-bit sizes, 3-byte colour table entries
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV2HeaderSize = 52;
constexpr uint32_t kV3HeaderSize = 56;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kV5HeaderSize = 124;

// The masks follow a 40-byte header and sit inside the larger ones, at the same file offset either way.
constexpr size_t kMaskOffset = kFileHeaderSize + kInfoHeaderSize;

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kCompressionAlphaBitFields = 6;

constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dpi, what paint programs expect to see

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Two's complement by arithmetic, since converting an out-of-range unsigned is not portable before C++20.
int64_t ReadI32(const uint8_t* p) {
    uint32_t u = ReadU32(p);
    return u < 0x80000000u ? static_cast<int64_t>(u) : static_cast<int64_t>(u) - (int64_t{1} << 32);
}

void WriteU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void WriteU32(uint8_t* p, uint32_t v) {
    WriteU16(p, v);
    WriteU16(p + 2, v >> 16);
}

uint32_t Argb(uint32_t r, uint32_t g, uint32_t b) {
    return kOpaqueBlack | (r << 16) | (g << 8) | b;
}

// One colour channel of a bit-field pixel, widened to 0..255 so that an all-ones field becomes 255.
struct Channel {
    uint32_t mask = 0;  // the field's bits within the pixel
    int shift = 0;      // position of the field's lowest bit
    uint64_t top = 0;   // largest value the field can hold; 0 for an empty mask

    explicit Channel(uint32_t fieldMask) : mask(fieldMask) {
        if (mask == 0) {
            return;
        }
        while (((mask >> shift) & 1u) == 0) {
            ++shift;
        }
        int highest = 31;
        while (((mask >> highest) & 1u) == 0) {
            --highest;
        }
        top = (uint64_t{1} << (highest - shift + 1)) - 1;
    }

    uint32_t Extract(uint32_t pixel) const {
        if (top == 0) {
            return 0;
        }
        uint64_t value = (pixel & mask) >> shift;
        return static_cast<uint32_t>((value * 255 + top / 2) / top);
    }
};

bool IsKnownHeaderSize(uint32_t size) {
    return size == kCoreHeaderSize || size == kInfoHeaderSize || size == kV2HeaderSize || size == kV3HeaderSize ||
           size == kV4HeaderSize || size == kV5HeaderSize;
}

}  // namespace

bool DecodeBitmap(const uint8_t* data, size_t size, Image& out) {
    if (data == nullptr || size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const uint64_t pixelOffset = ReadU32(data + 10);
    const uint32_t headerSize = ReadU32(data + 14);
    if (!IsKnownHeaderSize(headerSize) || size < kFileHeaderSize + headerSize) {
        return false;
    }

    const bool core = headerSize == kCoreHeaderSize;
    int64_t width;
    int64_t height;
    bool topDown = false;
    unsigned bitsPerPixel;
    uint32_t compression = kCompressionRgb;
    uint32_t coloursUsed = 0;
    if (core) {
        width = ReadU16(data + 18);
        height = ReadU16(data + 20);
        bitsPerPixel = ReadU16(data + 24);
    } else {
        width = ReadI32(data + 18);
        height = ReadI32(data + 22);
        bitsPerPixel = ReadU16(data + 28);
        compression = ReadU32(data + 30);
        coloursUsed = ReadU32(data + 46);
        if (height < 0) {
            topDown = true;
            height = -height;
        }
    }
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels) {
        return false;
    }

    const bool indexed = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
    const bool direct = bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (!indexed && !direct) {
        return false;
    }
    if (core && (bitsPerPixel == 16 || bitsPerPixel == 32)) {
        return false;
    }

    // Bit-field masks; without BI_BITFIELDS, 16-bit pixels are 5-5-5 and 32-bit pixels are BGRx.
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bitsPerPixel == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (compression == kCompressionBitFields || compression == kCompressionAlphaBitFields) {
        if (bitsPerPixel != 16 && bitsPerPixel != 32) {
            return false;
        }
        if (size < kMaskOffset + 12) {
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            masks[i] = ReadU32(data + kMaskOffset + 4 * i);
        }
    } else if (compression != kCompressionRgb) {
        return false;  // RLE, JPEG and PNG payloads are not supported
    }

    const uint64_t tableStart = kFileHeaderSize + headerSize;
    if (pixelOffset < tableStart) {
        return false;
    }

    // Every index outside the table, short or not, reads as opaque black.
    std::vector<uint32_t> palette;
    if (indexed) {
        palette.assign(size_t{1} << bitsPerPixel, kOpaqueBlack);
        const uint64_t entrySize = core ? 3 : 4;
        uint64_t entries = palette.size();
        if (coloursUsed != 0) {
            entries = std::min<uint64_t>(entries, coloursUsed);
        }
        // Some writers leave biClrUsed at 0 yet store a short table; the pixels start where it ends.
        entries = std::min(entries, (pixelOffset - tableStart) / entrySize);
        if (tableStart + entries * entrySize > size) {
            return false;
        }
        // Everything checked above lies within size, so size_t holds it even on 32-bit builds.
        const uint8_t* table = data + static_cast<size_t>(tableStart);
        for (size_t i = 0; i < static_cast<size_t>(entries); ++i) {
            const uint8_t* entry = table + i * static_cast<size_t>(entrySize);
            palette[i] = Argb(entry[2], entry[1], entry[0]);
        }
    }

    // The last row's padding is often missing from real files, so it is not required.
    const uint64_t rowBits = static_cast<uint64_t>(width) * bitsPerPixel;
    const uint64_t stride = (rowBits + 31) / 32 * 4;
    const uint64_t lastRowBytes = (rowBits + 7) / 8;
    const uint64_t pixelBytes = stride * static_cast<uint64_t>(height - 1) + lastRowBytes;
    if (pixelOffset > size || pixelBytes > size - pixelOffset) {
        return false;
    }

    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);

    const size_t columns = static_cast<size_t>(width);
    const size_t rows = static_cast<size_t>(height);
    const size_t rowStride = static_cast<size_t>(stride);
    const uint8_t* pixels = data + static_cast<size_t>(pixelOffset);

    Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.resize(columns * rows);
    for (size_t fileRow = 0; fileRow < rows; ++fileRow) {
        const uint8_t* src = pixels + fileRow * rowStride;
        const size_t imageRow = topDown ? fileRow : rows - 1 - fileRow;
        uint32_t* dst = image.pixels.data() + imageRow * columns;
        for (size_t x = 0; x < columns; ++x) {
            uint32_t colour;
            switch (bitsPerPixel) {
                case 1:
                    colour = palette[(src[x / 8] >> (7 - x % 8)) & 0x1];
                    break;
                case 4:
                    colour = palette[(src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF];
                    break;
                case 8:
                    colour = palette[src[x]];
                    break;
                case 16: {
                    uint32_t value = ReadU16(src + 2 * x);
                    colour = Argb(red.Extract(value), green.Extract(value), blue.Extract(value));
                    break;
                }
                case 24:
                    colour = Argb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                    break;
                default: {
                    uint32_t value = ReadU32(src + 4 * x);
                    colour = Argb(red.Extract(value), green.Extract(value), blue.Extract(value));
                    break;
                }
            }
            dst[x] = colour;
        }
    }
    out = std::move(image);
    return true;
}

std::vector<uint8_t> EncodeBitmap24(const Image& image) {
    if (image.width <= 0 || image.height <= 0) {
        return {};
    }
    const uint64_t width = static_cast<uint64_t>(image.width);
    const uint64_t height = static_cast<uint64_t>(image.height);
    if (image.pixels.size() != width * height) {
        return {};
    }
    const uint64_t stride = (width * 3 + 3) / 4 * 4;
    const uint64_t pixelBytes = stride * height;
    const uint64_t headersSize = kFileHeaderSize + kInfoHeaderSize;
    // The file size field is 32 bits, and a 32-bit build cannot hold more than SIZE_MAX bytes either.
    if (headersSize + pixelBytes > std::min<uint64_t>(0xFFFFFFFFu, std::numeric_limits<size_t>::max())) {
        return {};
    }
    const size_t columns = static_cast<size_t>(width);
    const size_t rows = static_cast<size_t>(height);
    const size_t rowStride = static_cast<size_t>(stride);

    std::vector<uint8_t> file(static_cast<size_t>(headersSize + pixelBytes), 0);
    uint8_t* p = file.data();
    p[0] = 'B';
    p[1] = 'M';
    WriteU32(p + 2, static_cast<uint32_t>(file.size()));
    WriteU32(p + 10, static_cast<uint32_t>(headersSize));
    WriteU32(p + 14, kInfoHeaderSize);
    WriteU32(p + 18, static_cast<uint32_t>(width));
    WriteU32(p + 22, static_cast<uint32_t>(height));
    WriteU16(p + 26, 1);
    WriteU16(p + 28, 24);
    WriteU32(p + 30, kCompressionRgb);
    WriteU32(p + 34, static_cast<uint32_t>(pixelBytes));
    WriteU32(p + 38, kPixelsPerMetre);
    WriteU32(p + 42, kPixelsPerMetre);

    for (size_t row = 0; row < rows; ++row) {
        uint8_t* dst = p + static_cast<size_t>(headersSize) + (rows - 1 - row) * rowStride;
        const uint32_t* src = image.pixels.data() + row * columns;
        for (size_t x = 0; x < columns; ++x) {
            dst[3 * x] = static_cast<uint8_t>(src[x]);
            dst[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            dst[3 * x + 2] = static_cast<uint8_t>(src[x] >> 16);
        }
    }
    return file;
}
