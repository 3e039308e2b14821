// Where everything on the paint window sits, in pixels from its top-left corner. The hit regions, the
// panel's coloured and textured quads and the pieces drawn over its body all read this one table.
#pragma once

#include <cstdint>

// A rectangle of panel offsets. As a hit region it is closed (both ends inside) unless the region says
// half-open (the right and bottom ends outside); as a quad it runs from (left, top) to (right, bottom).
struct PanelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// A button that stays pressed while the left button is held, drawn pressed by a piece of the panel bitmap.
struct PanelButton {
    int32_t code;    // pressed-button code
    PanelRect hit;   // closed
    int32_t pieceX;  // where the pressed piece is drawn
    int32_t pieceY;
};

namespace paint_layout {

constexpr int32_t kWidth = 158;
constexpr int32_t kHeight = 503;
constexpr PanelRect kTitleStrip = {0, 0, 158, 20};  // half-open; a press starts a drag

// Tool buttons in tool order, the three display switches (lighting, faces, wireframe), undo and redo. The
// pieces that show them down or pressed are drawn at their top-left corners.
constexpr PanelRect kToolButtons[4] = {{25, 23, 47, 45}, {49, 23, 71, 45}, {73, 23, 95, 45}, {97, 23, 119, 45}};
constexpr PanelRect kSwitchButtons[3] = {{25, 47, 47, 69}, {49, 47, 71, 69}, {73, 47, 95, 69}};
constexpr PanelRect kUndoButton = {97, 47, 119, 69};
constexpr PanelRect kRedoButton = {121, 47, 143, 69};

// 8 x 8 cells of 16 pixels each; half-open. Cell (column, row) is the quad at (left + 16 column, top + 16 row).
constexpr int32_t kCellPitch = 16;
constexpr int32_t kGridCells = 8;
constexpr PanelRect kPaletteCells = {25, 78, 153, 206};
constexpr PanelRect kAtlasCells = {25, 318, 153, 446};

constexpr PanelRect kSwatch = {25, 210, 73, 258};
constexpr PanelRect kPreview = {25, 450, 73, 498};

// The three colour bars as hit regions (closed) and as quads, whose right edge is the bar end.
constexpr PanelRect kBars[3] = {{52, 264, 116, 276}, {52, 280, 116, 292}, {52, 296, 116, 308}};
constexpr int32_t kBarStart = 52;
constexpr int32_t kBarFullEnd = 116;
// The component values are printed right of the bars, at the bars' tops.
constexpr int32_t kNumberLeft = 131;

// The ten buttons with a pressed-button code, in the order a press tests them. The blue step buttons are
// 15 pixels tall, the other step buttons 12; the step buttons' pieces sit at their bar's top.
constexpr PanelButton kButtons[10] = {
    {1, {39, 264, 50, 275}, 39, 264},      // red minus
    {2, {39, 279, 50, 290}, 39, 280},      // green minus
    {3, {39, 294, 50, 308}, 39, 296},      // blue minus
    {4, {117, 264, 128, 275}, 117, 264},   // red plus
    {5, {117, 279, 128, 290}, 117, 280},   // green plus
    {6, {117, 294, 128, 308}, 117, 296},   // blue plus
    {9, {78, 210, 112, 223}, 78, 210},     // reset the palette to white
    {10, {118, 210, 152, 223}, 118, 210},  // load a palette
    {11, {78, 228, 112, 241}, 78, 228},    // save the palette
    {12, {78, 450, 112, 463}, 78, 450},    // load a texture
};

}  // namespace paint_layout
