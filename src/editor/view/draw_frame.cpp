#include "editor/view/draw_frame.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "editor/editor.h"
#include "render/render_frame.h"
#include "text/texts.h"

namespace {

namespace layout = paint_layout;

// The selection's outline: orange, apart from the wireframe's usual white and black and from the default grey.
constexpr float kSelectionColour[3] = {1.0f, 0.55f, 0.0f};
// How far apart (in summed 0..255 steps) the wireframe and background colours must be for guides to show.
constexpr int32_t kGuideContrast = 96;
constexpr float kColourScale = 1.0f / 255.0f;

// Pieces of the panel bitmap that show a button down or pressed over the body.
constexpr SourceRect kPanelBody = {0, 0, 158, 503};
constexpr SourceRect kToolDown[4] = {{158, 0, 181, 23}, {181, 0, 204, 23}, {204, 0, 227, 23}, {227, 0, 250, 23}};
constexpr SourceRect kSwitchDown[3] = {{158, 23, 181, 46}, {181, 23, 204, 46}, {204, 23, 227, 46}};
constexpr SourceRect kUndoEnabled = {273, 23, 296, 46};
constexpr SourceRect kUndoPressed = {227, 23, 250, 46};
constexpr SourceRect kRedoEnabled = {296, 23, 319, 46};
constexpr SourceRect kRedoPressed = {250, 23, 273, 46};
constexpr SourceRect kMinusPressed = {158, 46, 170, 58};
constexpr SourceRect kPlusPressed = {170, 46, 182, 58};
constexpr SourceRect kResetPressed = {198, 46, 233, 60};
constexpr SourceRect kLoadPressed = {233, 46, 268, 60};
constexpr SourceRect kSavePressed = {198, 60, 233, 74};
constexpr SourceRect kSelectionMarker = {182, 46, 198, 62};

SourceRect PressedPiece(int32_t code) {
    switch (code) {
        case kButtonRedMinus:
        case kButtonGreenMinus:
        case kButtonBlueMinus:
            return kMinusPressed;
        case kButtonRedPlus:
        case kButtonGreenPlus:
        case kButtonBluePlus:
            return kPlusPressed;
        case kButtonResetPalette:
            return kResetPressed;
        case kButtonSavePalette:
            return kSavePressed;
        default:
            return kLoadPressed;  // load palette and load texture share the look
    }
}

class PieceList {
public:
    PieceList(PaintWindowDrawing& panel, float x, float y) : panel_(panel), x_(x), y_(y) { panel.pieceCount = 0; }
    void Add(const SourceRect& source, int32_t dx, int32_t dy) {
        panel_.pieces[panel_.pieceCount++] = Piece(source, dx, dy);
    }
    SpritePiece Piece(const SourceRect& source, int32_t dx, int32_t dy) const {
        return {source, x_ + static_cast<float>(dx), y_ + static_cast<float>(dy)};
    }

private:
    PaintWindowDrawing& panel_;
    float x_;
    float y_;
};

void PreparePaintWindow(Editor& editor, PaintWindowDrawing& panel) {
    const PaintWindowState& state = editor.paintWindow;
    const UndoHistory& undo = editor.undo;
    PieceList pieces(panel, state.x, state.y);
    pieces.Add(kPanelBody, 0, 0);
    const int tool = static_cast<int>(editor.tool);
    if (tool >= 0 && tool < 4)
        pieces.Add(kToolDown[tool], layout::kToolButtons[tool].left, layout::kToolButtons[tool].top);
    const bool switches[3] = {editor.lightingSwitch, editor.facesSwitch, editor.wireframeSwitch};
    for (int i = 0; i < 3; ++i) {
        if (switches[i])
            pieces.Add(kSwitchDown[i], layout::kSwitchButtons[i].left, layout::kSwitchButtons[i].top);
    }
    if (undo.undoAvailable && !undo.undoLatch)
        pieces.Add(kUndoEnabled, layout::kUndoButton.left, layout::kUndoButton.top);
    if (undo.undoLatch)
        pieces.Add(kUndoPressed, layout::kUndoButton.left, layout::kUndoButton.top);
    if (undo.redoAvailable && !undo.redoLatch)
        pieces.Add(kRedoEnabled, layout::kRedoButton.left, layout::kRedoButton.top);
    if (undo.redoLatch)
        pieces.Add(kRedoPressed, layout::kRedoButton.left, layout::kRedoButton.top);
    for (const PanelButton& button : layout::kButtons) {
        if (button.code == state.pressedButton)
            pieces.Add(PressedPiece(button.code), button.pieceX, button.pieceY);
    }

    panel.colourVertices = editor.paintColourVertices;
    panel.textureVertices = editor.paintTextureVertices;
    const PanelRect& grid = editor.textureMode ? layout::kAtlasCells : layout::kPaletteCells;
    const int32_t column = editor.textureMode ? editor.textureColumn : editor.paletteColumn;
    const int32_t row = editor.textureMode ? editor.textureRow : editor.paletteRow;
    panel.marker =
        pieces.Piece(kSelectionMarker, grid.left + layout::kCellPitch * column, grid.top + layout::kCellPitch * row);

    // The numbers show the current colour, and the components follow it.
    SplitCurrentColour(editor);
    const int32_t values[3] = {editor.red, editor.green, editor.blue};
    panel.numberX = static_cast<int32_t>(state.x) + layout::kNumberLeft;
    for (int i = 0; i < 3; ++i) {
        std::snprintf(panel.numbers[i], kNumberTextCapacity, "%3d", values[i]);
        panel.numberY[i] = static_cast<int32_t>(state.y) + layout::kBars[i].top;
    }
}

// The guides take the wireframe colour, unless it is lost against the background (the default black on black):
// then they are drawn halfway from the background towards white, or towards black on a light background.
void GuideColour(const RgbSetting& background, const RgbSetting& wireframe, float (&colour)[3]) {
    const int32_t back[3] = {background.red & 0xFF, background.green & 0xFF, background.blue & 0xFF};
    const int32_t wire[3] = {wireframe.red & 0xFF, wireframe.green & 0xFF, wireframe.blue & 0xFF};
    const int32_t apart = std::abs(back[0] - wire[0]) + std::abs(back[1] - wire[1]) + std::abs(back[2] - wire[2]);
    const bool dark = back[0] + back[1] + back[2] < 3 * 128;
    for (int i = 0; i < 3; ++i) {
        const int32_t contrast = dark ? (back[i] + 255) / 2 : back[i] / 2;
        colour[i] = static_cast<float>(apart < kGuideContrast ? contrast : wire[i]) * kColourScale;
    }
}

}  // namespace

void FormatCubeCount(int32_t liveCubes, char (&text)[kStatusTextCapacity]) {
    std::snprintf(text, kStatusTextCapacity, TextOf(TextId::CubeCountFormat), liveCubes, kMaxCubes);
}

void FormatMirror(const MirrorState& mirror, char (&text)[kStatusTextCapacity]) {
    text[0] = '\0';
    if (!mirror.Any())
        return;
    const int label = std::snprintf(text, kStatusTextCapacity, "%s", TextOf(TextId::MirrorLabel));
    int length = label;
    for (int axis = 0; axis < 3; ++axis) {
        if (mirror.on[axis])
            length += std::snprintf(text + length, kStatusTextCapacity - length, "%s%c",
                                    length > label ? " " : "", "XYZ"[axis]);
    }
}

void FormatSelection(const Editor& editor, char (&text)[kStatusTextCapacity]) {
    text[0] = '\0';
    if (!editor.selection.active)
        return;
    const CellBox& box = editor.selection.box;
    std::snprintf(text, kStatusTextCapacity, TextOf(TextId::SelectionFormat), box.high.x - box.low.x + 1, box.high.y - box.low.y + 1,
                  box.high.z - box.low.z + 1, SelectedCount(editor));
}

void RecordView(Editor& editor) {
    const Camera& camera = editor.camera;
    editor.view.view =
        MatrixLookAtLH(EyePosition(camera), {camera.targetX, camera.targetY, camera.targetZ}, {0.0f, 1.0f, 0.0f});
}

void PrepareFrameDrawing(Editor& editor,
                         const RgbSetting& background,
                         const RgbSetting& wireframe,
                         FrameDrawing& drawing) {
    const Camera& camera = editor.camera;
    drawing.clearColour = ClearColour(background);
    const Vec3 toEye = EyeDirection(camera);
    drawing.lightDirection = {-toEye.x, -toEye.y, -toEye.z};
    drawing.eye = EyePosition(camera);
    drawing.target = {camera.targetX, camera.targetY, camera.targetZ};
    RecordView(editor);
    drawing.lighting = editor.lightingSwitch;
    drawing.faces = editor.facesSwitch;
    drawing.wireframe = editor.wireframeSwitch;
    drawing.wireframeColour[0] = static_cast<float>(wireframe.red) * kColourScale;
    drawing.wireframeColour[1] = static_cast<float>(wireframe.green) * kColourScale;
    drawing.wireframeColour[2] = static_cast<float>(wireframe.blue) * kColourScale;
    drawing.mesh = &editor.mesh;

    drawing.paintWindowShown = editor.paintWindow.shown;
    if (drawing.paintWindowShown)
        PreparePaintWindow(editor, drawing.paintWindow);
    drawing.statusShown = editor.statusWindow.shown;
    drawing.status.rect = &editor.statusWindow.rect;
    FormatCubeCount(editor.scene.liveCubeCount, drawing.status.countText);
    drawing.status.warning = editor.cannotCreate ? TextOf(TextId::CannotCreate) : nullptr;
    FormatMirror(editor.mirror, drawing.status.mirrorText);
    drawing.guidePoints = editor.guides.points;
    drawing.guideLineCount = editor.guides.lineCount;
    GuideColour(background, wireframe, drawing.guideColour);
    FormatSelection(editor, drawing.status.selectionText);
    drawing.selectionPoints = editor.selectionLines.points;
    drawing.selectionLineCount = editor.selectionLines.lineCount;
    std::copy(kSelectionColour, kSelectionColour + 3, drawing.selectionColour);
}

void DrawEditorFrame(Editor& editor, const RgbSetting& background, const RgbSetting& wireframe, Renderer& renderer) {
    FrameDrawing drawing;
    PrepareFrameDrawing(editor, background, wireframe, drawing);
    RenderFrame(drawing, renderer);
}
