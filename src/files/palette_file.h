// The palette file (.bvp) and the paint panel's screen geometry built from the palette,
// the current colour and the current atlas cell.
#pragma once

#include <cstdint>

struct Editor;

constexpr char kPaletteMagic[] = "BlokkenveldPalette";
constexpr uint32_t kBarColour = 0xFF9696FF;

// Reads a palette into the editor; false when the file cannot be opened or its magic is wrong.
bool LoadPaletteFile(Editor& editor, const char* path);
// Writes the palette; false when the file cannot be written completely.
bool WritePaletteFile(const Editor& editor, const char* path);
// Start-up: the named palette, or all white when it cannot be read; builds the atlas geometry.
void LoadStartupPalette(Editor& editor, const char* path);
void ResetPaletteToWhite(Editor& editor);
// Gives each of the 64 cell quads its palette colour.
void RefreshCellColours(Editor& editor);
// Positions of every coloured quad from the panel position and colour components; swatch colour.
void BuildPaletteQuads(Editor& editor);
// Atlas view and current-cell preview from the panel position and the current atlas cell.
void BuildTextureQuads(Editor& editor);
