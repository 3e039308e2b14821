// The palette file (.bvp): the magic line and eight rows of eight hexadecimal colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FileSystem;

constexpr int kPaletteColours = 64;  // 8 columns x 8 rows, index column + 8 * row
constexpr char kPaletteMagic[] = "BlokkenveldPalette";

// Reads palette text into palette. A row line with fewer than eight numbers, and a missing row, leave the
// other entries as they were. False, with palette untouched, when the first word is not the magic word.
bool ParsePaletteText(const uint8_t* data, size_t size, uint32_t (&palette)[kPaletteColours]);
// The file through ParsePaletteText; false also when it cannot be read.
bool ReadPaletteFile(FileSystem& files, const char* path, uint32_t (&palette)[kPaletteColours]);

// The file's text, lines ending in '\n'.
std::string PaletteText(const uint32_t (&palette)[kPaletteColours]);
