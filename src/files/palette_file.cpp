// Reading and writing palette files.
#include "files/palette_file.h"

#include <cstdio>
#include <vector>

#include "files/file_system.h"
#include "files/text_lines.h"

namespace {

constexpr int kPaletteRows = 8;
constexpr int kRowEntries = 8;
constexpr size_t kLineLimit = 259;

}  // namespace

bool ParsePaletteText(const uint8_t* data, size_t size, uint32_t (&palette)[kPaletteColours]) {
    TextLines lines(data, size);
    char line[kLineLimit + 1];
    if (!lines.Next(line, sizeof(line)) || !FirstWordIs(line, kPaletteMagic))
        return false;
    // A file that ends early leaves its missing rows as they were.
    for (int row = 0; row < kPaletteRows && lines.Next(line, sizeof(line)); ++row) {
        const char* cursor = line;
        for (int column = 0; column < kRowEntries; ++column) {
            uint32_t value;
            if (!ScanHex(cursor, value))
                break;
            palette[row * kRowEntries + column] = value;
        }
    }
    return true;
}

bool ReadPaletteFile(FileSystem& files, const char* path, uint32_t (&palette)[kPaletteColours]) {
    std::vector<uint8_t> bytes;
    return files.ReadAll(path, bytes) && ParsePaletteText(bytes.data(), bytes.size(), palette);
}

std::string PaletteText(const uint32_t (&palette)[kPaletteColours]) {
    std::string text = std::string(kPaletteMagic) + "\n";
    for (int row = 0; row < kPaletteRows; ++row) {
        const uint32_t* e = &palette[row * kRowEntries];
        char line[9 * kRowEntries + 2];
        std::snprintf(line, sizeof(line), "%x %x %x %x %x %x %x %x\n", static_cast<unsigned>(e[0]),
                      static_cast<unsigned>(e[1]), static_cast<unsigned>(e[2]), static_cast<unsigned>(e[3]),
                      static_cast<unsigned>(e[4]), static_cast<unsigned>(e[5]), static_cast<unsigned>(e[6]),
                      static_cast<unsigned>(e[7]));
        text += line;
    }
    return text;
}
