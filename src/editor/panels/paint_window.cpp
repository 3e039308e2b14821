// What a press, a hold and a release on the paint panel do, and the step buttons' repeat.
#include "editor/panels/paint_window.h"

#include "editor/editor.h"
#include "editor/platform.h"
#include "text/texts.h"

namespace {

namespace layout = paint_layout;

constexpr float kCellScale = 0.0625f;  // one cell per 16 pixels
constexpr float kRepeatFastAfter = 0.5f;
constexpr int32_t kFastRepeatRate = 10;

// The cursor relative to the panel's corner. The panel sits on whole pixels, so the offsets are whole too.
struct PanelOffset {
    double x;
    double y;
};

PanelOffset OffsetOf(const PaintWindowState& panel, int32_t cursorX, int32_t cursorY) {
    return {static_cast<double>(cursorX) - panel.x, static_cast<double>(cursorY) - panel.y};
}

bool InClosed(const PanelRect& r, PanelOffset p) {
    return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

bool InHalfOpen(const PanelRect& r, PanelOffset p) {
    return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

// The cell of an 8 x 8 grid under the cursor, (offset - corner) / 16 truncated; false outside the grid.
bool CellUnder(const PanelRect& grid, PanelOffset p, int32_t& column, int32_t& row) {
    if (!InHalfOpen(grid, p))
        return false;
    column = static_cast<int32_t>((p.x - grid.left) * kCellScale);
    row = static_cast<int32_t>((p.y - grid.top) * kCellScale);
    return true;
}

int32_t ButtonAt(PanelOffset p) {
    for (const PanelButton& button : layout::kButtons) {
        if (InClosed(button.hit, p))
            return button.code;
    }
    return kButtonNone;
}

int32_t& ComponentOf(Editor& editor, int32_t stepCode) {
    const int32_t bar = (stepCode - kButtonRedMinus) % 3;
    return bar == 0 ? editor.red : bar == 1 ? editor.green : editor.blue;
}

void PressTools(Editor& editor, PanelOffset p) {
    for (int tool = 0; tool < 4; ++tool) {
        if (InClosed(layout::kToolButtons[tool], p)) {
            editor.tool = static_cast<EditTool>(tool);
            return;
        }
    }
}

void PressPaletteCell(Editor& editor, PanelOffset p) {
    if (!CellUnder(layout::kPaletteCells, p, editor.paletteColumn, editor.paletteRow))
        return;
    editor.textureMode = false;
    editor.paletteIndex = editor.paletteColumn + kPaletteColumns * editor.paletteRow;
    TakeSelectedPaletteColour(editor);
}

void PressAtlasCell(Editor& editor, PanelOffset p) {
    if (!CellUnder(layout::kAtlasCells, p, editor.textureColumn, editor.textureRow))
        return;
    editor.textureMode = true;
    editor.textureIndex = editor.textureColumn + kAtlasColumns * editor.textureRow;
    SetPreviewCell(editor);
}

void PressSwitches(Editor& editor, PanelOffset p) {
    bool* switches[3] = {&editor.lightingSwitch, &editor.facesSwitch, &editor.wireframeSwitch};
    for (int i = 0; i < 3; ++i) {
        if (InClosed(layout::kSwitchButtons[i], p)) {
            *switches[i] = !*switches[i];
            return;
        }
    }
}

// The panel's undo and redo buttons go through the same latches as Ctrl+Z and Ctrl+Y, without the busy flag.
void PressUndoRedo(Editor& editor, PanelOffset p) {
    UndoHistory& undo = editor.undo;
    if (undo.undoAvailable && InClosed(layout::kUndoButton, p)) {
        undo.undoLatch = true;
        undo.doUndo = true;
    }
    if (undo.redoAvailable && InClosed(layout::kRedoButton, p)) {
        undo.redoLatch = true;
        undo.doRedo = true;
    }
}

void FollowBar(Editor& editor, int32_t cursorX) {
    const int32_t bar = editor.paintWindow.sliderGrab - 1;
    const float x = editor.paintWindow.x;
    const float left = x + static_cast<float>(layout::kBarStart);
    const float right = x + static_cast<float>(layout::kBarFullEnd);
    float edge = static_cast<float>(cursorX);
    if (edge > right)
        edge = right;
    if (edge < left)
        edge = left;
    int32_t value = static_cast<int32_t>((edge - layout::kBarStart - x) * 4.0f);
    if (value > 255)
        value = 255;
    if (value < 0)
        value = 0;
    int32_t* components[3] = {&editor.red, &editor.green, &editor.blue};
    *components[bar] = value;
    SetBarEdge(editor, bar, edge);
    RebuildCurrentColour(editor);
}

void Step(Editor& editor, int32_t code, float frameTime) {
    PaintWindowState& panel = editor.paintWindow;
    int32_t& component = ComponentOf(editor, code);
    const bool minus = code <= kButtonBlueMinus;
    if (minus ? component <= 0 : component >= 255)
        return;
    panel.repeatAccumulator += static_cast<float>(panel.repeatRate) * frameTime;
    if (panel.repeatAccumulator >= 1.0f) {
        component += minus ? -1 : 1;
        panel.repeatAccumulator = 0.0f;
    } else if (panel.repeatAccumulator >= kRepeatFastAfter) {
        panel.repeatRate = kFastRepeatRate;
    }
}

void ReleaseAction(Editor& editor, int32_t code, Platform& platform) {
    PaintWindowState& panel = editor.paintWindow;
    switch (code) {
        case kButtonResetPalette:
            panel.previousPressedButton = kButtonNone;
            if (platform.AskYesNo(TextOf(TextId::PaletteResetQuestion))) {
                ResetPaletteToWhite(editor);
                TakeSelectedPaletteColour(editor);
            }
            break;
        case kButtonLoadPalette:
        case kButtonSavePalette:
        case kButtonLoadTexture: {
            panel.previousPressedButton = kButtonNone;
            const uint32_t message = code == kButtonLoadPalette   ? kPaletteLoadMessage
                                     : code == kButtonSavePalette ? kPaletteSaveMessage
                                                                  : kTextureLoadMessage;
            platform.SendToMainWindow(message);
            break;
        }
        default:
            break;
    }
}

}  // namespace

void PaintWindowPress(Editor& editor, int32_t cursorX, int32_t cursorY) {
    PaintWindowState& panel = editor.paintWindow;
    const PanelOffset p = OffsetOf(panel, cursorX, cursorY);
    PressTools(editor, p);
    PressPaletteCell(editor, p);
    panel.pressedButton = ButtonAt(p);
    if (InHalfOpen(layout::kTitleStrip, p)) {
        panel.dragStartX = panel.x;
        panel.dragStartY = panel.y;
        panel.grabX = cursorX;
        panel.grabY = cursorY;
        panel.dragging = true;
    }
    panel.sliderGrab = 0;
    for (int bar = 0; bar < 3; ++bar) {
        if (InClosed(layout::kBars[bar], p)) {
            panel.sliderGrab = bar + 1;
            break;
        }
    }
    PressAtlasCell(editor, p);
    PressSwitches(editor, p);
    PressUndoRedo(editor, p);
}

void PaintWindowHold(Editor& editor, int32_t cursorX, int32_t cursorY, int32_t clientWidth, int32_t clientHeight) {
    PaintWindowState& panel = editor.paintWindow;
    if (panel.dragging) {
        panel.x = static_cast<float>(cursorX) + panel.dragStartX - static_cast<float>(panel.grabX);
        panel.y = static_cast<float>(cursorY) + panel.dragStartY - static_cast<float>(panel.grabY);
        PlacePaintWindow(editor, clientWidth, clientHeight);
    }
    if (panel.sliderGrab != 0)
        FollowBar(editor, cursorX);
}

void PaintWindowRelease(Editor& editor) {
    PaintWindowState& panel = editor.paintWindow;
    panel.pressedButton = kButtonNone;
    panel.sliderGrab = 0;
    panel.dragging = false;
}

void PaintWindowButtons(Editor& editor, int32_t cursorX, int32_t cursorY, float frameTime, Platform& platform) {
    PaintWindowState& panel = editor.paintWindow;
    if (panel.pressedButton != kButtonNone) {
        // Leaving all ten buttons abandons the press; coming back does not revive it.
        if (ButtonAt(OffsetOf(panel, cursorX, cursorY)) == kButtonNone)
            panel.pressedButton = kButtonNone;
        SplitCurrentColour(editor);
        if (panel.pressedButton >= kButtonRedMinus && panel.pressedButton <= kButtonBluePlus)
            Step(editor, panel.pressedButton, frameTime);
        UpdateBarEnds(editor);
        RebuildCurrentColour(editor);
    } else {
        panel.repeatRate = 1;
        panel.repeatAccumulator = 1.0f;
        ReleaseAction(editor, panel.previousPressedButton, platform);
    }
    panel.previousPressedButton = panel.pressedButton;
}
