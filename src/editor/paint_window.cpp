#include "editor/paint_window.h"

#include "editor/editor.h"
#include "files/palette_file.h"

namespace {

constexpr int kBarStart = 52;
constexpr int kBarFullEnd = 116;
constexpr int kFirstBarQuad = 65;
// Vertices of a quad that lie on its right edge, in the quad vertex order.
constexpr int kRightEdgeVertices[] = {1, 4, 5};

bool InTitleStrip(const PaintWindowState& panel, int32_t cx, int32_t cy) {
    return panel.x <= cx && cx < panel.x + kPaintWindowWidth && panel.y <= cy && cy < panel.y + kPaintWindowTitleHeight;
}

}  // namespace

void PlacePaintWindow(Editor& editor, int32_t clientWidth, int32_t clientHeight) {
    PaintWindowState& panel = editor.paintWindow;
    if (panel.x > static_cast<float>(clientWidth - kPaintWindowWidth))
        panel.x = static_cast<float>(clientWidth - kPaintWindowWidth);
    if (panel.y > static_cast<float>(clientHeight - kPaintWindowBottomReserve))
        panel.y = static_cast<float>(clientHeight - kPaintWindowBottomReserve);
    BuildPaletteQuads(editor);
    BuildTextureQuads(editor);
}

void PaintWindowPress(Editor& editor, int32_t cursorX, int32_t cursorY) {
    PaintWindowState& panel = editor.paintWindow;
    if (InTitleStrip(panel, cursorX, cursorY)) {
        panel.dragStartX = panel.x;
        panel.dragStartY = panel.y;
        panel.grabX = cursorX;
        panel.grabY = cursorY;
        panel.dragging = true;
    }
}

void PaintWindowHold(Editor& editor, int32_t cursorX, int32_t cursorY, int32_t clientWidth, int32_t clientHeight) {
    PaintWindowState& panel = editor.paintWindow;
    if (!panel.dragging)
        return;
    panel.x = static_cast<float>(cursorX) + panel.dragStartX - static_cast<float>(panel.grabX);
    panel.y = static_cast<float>(cursorY) + panel.dragStartY - static_cast<float>(panel.grabY);
    if (panel.x < 0.0f)
        panel.x = 0.0f;
    if (panel.y < 0.0f)
        panel.y = 0.0f;
    PlacePaintWindow(editor, clientWidth, clientHeight);
}

void PaintWindowRelease(Editor& editor) {
    PaintWindowState& panel = editor.paintWindow;
    panel.pressedButton = kButtonNone;
    panel.sliderGrab = 0;
    panel.dragging = false;
}

float BarEnd(float panelX, int32_t component) {
    const int offset = component >= 255 ? kBarFullEnd : kBarStart + component / 4;
    return panelX + static_cast<float>(offset);
}

void UpdateBarEnds(Editor& editor) {
    const int32_t components[3] = {editor.red, editor.green, editor.blue};
    for (int bar = 0; bar < 3; ++bar) {
        const float end = BarEnd(editor.paintWindow.x, components[bar]);
        PaintColourVertex* quad = &editor.paintColourVertices[(kFirstBarQuad + bar) * 6];
        for (int v : kRightEdgeVertices)
            quad[v].x = end;
    }
}
