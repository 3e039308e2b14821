// The paint panel: where it sits and whether it is shown, what a press, a hold and a release on it do,
// its step-button repeat, and the screen geometry of its cells, swatch, bars, atlas view and preview.
#pragma once

#include <cstdint>

#include "editor/panels/paint_layout.h"

struct Editor;
class FileSystem;
class Platform;

constexpr int kPaintWindowWidth = paint_layout::kWidth;
constexpr int kPaintWindowHeight = paint_layout::kHeight;
// The panel stays this far above the bottom edge so that it never covers the status strip.
constexpr int kPaintWindowBottomReserve = 519;

enum PressedButton : int32_t {
    kButtonNone = 0,
    kButtonRedMinus = 1,
    kButtonGreenMinus = 2,
    kButtonBlueMinus = 3,
    kButtonRedPlus = 4,
    kButtonGreenPlus = 5,
    kButtonBluePlus = 6,
    kButtonResetPalette = 9,
    kButtonLoadPalette = 10,
    kButtonSavePalette = 11,
    kButtonLoadTexture = 12,
};

struct PaintWindowState {
    float x = 0.0f;  // top-left corner in client pixels; always a whole number
    float y = 0.0f;
    bool shown = true;
    bool dragging = false;  // the title strip is being dragged
    float dragStartX = 0.0f;
    float dragStartY = 0.0f;
    int32_t grabX = 0;  // cursor at the start of the drag
    int32_t grabY = 0;
    int32_t sliderGrab = 0;  // 0 none, 1 red, 2 green, 3 blue bar
    int32_t pressedButton = kButtonNone;
    int32_t previousPressedButton = kButtonNone;  // at the end of the last frame
    float repeatAccumulator = 1.0f;               // a step button steps when this reaches 1
    int32_t repeatRate = 1;                       // accumulator units per second

    bool Contains(int32_t cx, int32_t cy) const {
        return x <= cx && cx < x + kPaintWindowWidth && y <= cy && cy < y + kPaintWindowHeight;
    }
};

// ---- input

// A click the shown panel took: tools, palette and atlas cells, buttons, title strip, bars, switches, undo
// and redo, all tested on the same press.
void PaintWindowPress(Editor& editor, int32_t cursorX, int32_t cursorY);
// Every frame while the left button is down: follows a drag or a grabbed bar.
void PaintWindowHold(Editor& editor, int32_t cursorX, int32_t cursorY, int32_t clientWidth, int32_t clientHeight);
// Every frame while the left button is up: ends the press, the bar grab and the drag.
void PaintWindowRelease(Editor& editor);
// Every frame: a held step button steps its colour component, with the repeat timing; a button released in
// this frame fires its action (white reset with its question, palette load and save, texture load).
void PaintWindowButtons(Editor& editor, int32_t cursorX, int32_t cursorY, float frameTime, Platform& platform);

// ---- placement and geometry

// Keeps the panel inside the client area and rebuilds its geometry. Where the client area is smaller than the
// panel, the panel's top-left corner stays in view (at 0), so its title strip can always be reached.
void PlacePaintWindow(Editor& editor, int32_t clientWidth, int32_t clientHeight);
// Positions of every coloured quad from the panel position and colour components; swatch colour.
void BuildPaletteQuads(Editor& editor);
// Atlas view and current-cell preview from the panel position and the current atlas cell.
void BuildTextureQuads(Editor& editor);
// Gives each of the 64 cell quads its palette colour.
void RefreshCellColours(Editor& editor);
// The bar-end rule: where a colour bar ends for a component value 0..255.
float BarEnd(float panelX, int32_t component);
void UpdateBarEnds(Editor& editor);
// Moves the right edge of one bar (0 red, 1 green, 2 blue) to a client x.
void SetBarEdge(Editor& editor, int bar, float edge);
// The current colour from the colour components; written into the selected palette entry, its cell and the swatch.
void RebuildCurrentColour(Editor& editor);
// The colour components from the current colour.
void SplitCurrentColour(Editor& editor);
// The current colour becomes the selected palette entry; components, bar ends and swatch follow it.
void TakeSelectedPaletteColour(Editor& editor);
// The preview shows the current atlas cell.
void SetPreviewCell(Editor& editor);

// ---- the palette

// Reads a palette file into the palette; the current colour becomes entry 0. False when the file cannot
// be read or is not a palette, leaving everything as it was.
bool LoadPalette(Editor& editor, FileSystem& files, const char* path);
// Start-up: the named palette, or all white when it cannot be read; builds the atlas geometry.
void LoadStartupPalette(Editor& editor, FileSystem& files, const char* path);
void ResetPaletteToWhite(Editor& editor);
