// The paint panel's own state and placement: where it sits, whether it is shown, and the
// drag, slider and button presses that last from a press to the release of the left button.
#pragma once

#include <cstdint>

struct Editor;

constexpr int kPaintWindowWidth = 158;
constexpr int kPaintWindowHeight = 503;
constexpr int kPaintWindowTitleHeight = 20;
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
    int32_t previousPressedButton = kButtonNone;
    float repeatAccumulator = 1.0f;
    int32_t repeatRate = 1;

    bool Contains(int32_t cx, int32_t cy) const {
        return x <= cx && cx < x + kPaintWindowWidth && y <= cy && cy < y + kPaintWindowHeight;
    }
};

// Keeps the panel inside the client area (no lower limit: the drag sets that) and rebuilds its geometry.
void PlacePaintWindow(Editor& editor, int32_t clientWidth, int32_t clientHeight);
// A click the panel took while shown: starts a drag on the title strip.
void PaintWindowPress(Editor& editor, int32_t cursorX, int32_t cursorY);
// Every frame while the left button is down: follows a drag.
void PaintWindowHold(Editor& editor, int32_t cursorX, int32_t cursorY, int32_t clientWidth, int32_t clientHeight);
void PaintWindowRelease(Editor& editor);
// The bar-end rule: where a colour bar ends for a component value 0..255.
float BarEnd(float panelX, int32_t component);
void UpdateBarEnds(Editor& editor);
