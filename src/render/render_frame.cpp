#include "render/render_frame.h"

#include <cmath>
#include <cstdio>

#include "editor/editor.h"

namespace {

constexpr float kColourScale = 1.0f / 255.0f;
constexpr char kCubeCountFormat[] = "キューブ数：%d/%d";
constexpr char kCannotCreateText[] = "これ以上作成できません";
constexpr int kPaintColourTriangles = kPaintColourVertexCount / 3;
constexpr int kPaintTextureTriangles = kPaintTextureVertexCount / 3;
constexpr int kCellPixels = 16;
constexpr int kPaletteTop = 78;
constexpr int kAtlasTop = 318;
constexpr int kGridLeft = 25;
constexpr int kNumberLeft = 131;
constexpr int kNumberRows[3] = {264, 280, 296};

struct Piece {
    SourceRect source;
    int32_t dx;
    int32_t dy;
};

constexpr Piece kPanelBody = {{0, 0, 158, 503}, 0, 0};
constexpr Piece kToolDown[4] = {{{158, 0, 181, 23}, 25, 23},
                                {{181, 0, 204, 23}, 49, 23},
                                {{204, 0, 227, 23}, 73, 23},
                                {{227, 0, 250, 23}, 97, 23}};
constexpr Piece kLightingDown = {{158, 23, 181, 46}, 25, 47};
constexpr Piece kFacesDown = {{181, 23, 204, 46}, 49, 47};
constexpr Piece kWireframeDown = {{204, 23, 227, 46}, 73, 47};
constexpr Piece kUndoEnabled = {{273, 23, 296, 46}, 97, 47};
constexpr Piece kUndoPressed = {{227, 23, 250, 46}, 97, 47};
constexpr Piece kRedoEnabled = {{296, 23, 319, 46}, 121, 47};
constexpr Piece kRedoPressed = {{250, 23, 273, 46}, 121, 47};
// Pressed look of the step and file buttons, by pressed-button code (codes 7 and 8 do not exist).
constexpr Piece kButtonPressed[13] = {
    {{0, 0, 0, 0}, 0, 0},           {{158, 46, 170, 58}, 39, 264},  {{158, 46, 170, 58}, 39, 280},
    {{158, 46, 170, 58}, 39, 296},  {{170, 46, 182, 58}, 117, 264}, {{170, 46, 182, 58}, 117, 280},
    {{170, 46, 182, 58}, 117, 296}, {{0, 0, 0, 0}, 0, 0},           {{0, 0, 0, 0}, 0, 0},
    {{198, 46, 233, 60}, 78, 210},  {{233, 46, 268, 60}, 118, 210}, {{198, 60, 233, 74}, 78, 228},
    {{233, 46, 268, 60}, 78, 450},
};
constexpr SourceRect kSelectionMarker = {182, 46, 198, 62};
constexpr SourceRect kStatusLeft = {158, 58, 160, 76};
constexpr SourceRect kStatusMiddle = {163, 58, 164, 76};
constexpr SourceRect kStatusRight = {168, 58, 170, 76};

void DrawPanelPiece(Renderer& renderer, const PaintWindowState& panel, const Piece& piece) {
    renderer.DrawPiece(
        MatrixTranslation(panel.x + static_cast<float>(piece.dx), panel.y + static_cast<float>(piece.dy), 0.0f),
        piece.source);
}

void DrawMeshChunks(const CubeMesh& mesh, Renderer& renderer) {
    for (int chunk = 0; chunk <= mesh.lastColouredChunk; ++chunk)
        renderer.DrawColoured(mesh.coloured[chunk], mesh.colouredTriangles[chunk]);
}

void DrawTexturedChunks(const CubeMesh& mesh, Renderer& renderer) {
    for (int chunk = 0; chunk <= mesh.lastTexturedChunk; ++chunk)
        renderer.DrawTextured(mesh.textured[chunk], mesh.texturedTriangles[chunk]);
}

void DrawPaintWindow(const Editor& editor, Renderer& renderer) {
    const PaintWindowState& panel = editor.paintWindow;
    const UndoHistory& undo = editor.undo;
    renderer.BeginSprites();
    DrawPanelPiece(renderer, panel, kPanelBody);
    const int tool = static_cast<int>(editor.tool);
    if (tool >= 0 && tool < 4)
        DrawPanelPiece(renderer, panel, kToolDown[tool]);
    if (editor.lightingSwitch)
        DrawPanelPiece(renderer, panel, kLightingDown);
    if (editor.facesSwitch)
        DrawPanelPiece(renderer, panel, kFacesDown);
    if (editor.wireframeSwitch)
        DrawPanelPiece(renderer, panel, kWireframeDown);
    if (undo.undoAvailable && !undo.undoLatch)
        DrawPanelPiece(renderer, panel, kUndoEnabled);
    if (undo.undoLatch)
        DrawPanelPiece(renderer, panel, kUndoPressed);
    if (undo.redoAvailable && !undo.redoLatch)
        DrawPanelPiece(renderer, panel, kRedoEnabled);
    if (undo.redoLatch)
        DrawPanelPiece(renderer, panel, kRedoPressed);
    const int code = panel.pressedButton;
    if (code > 0 && code <= 12 && kButtonPressed[code].source.right != 0)
        DrawPanelPiece(renderer, panel, kButtonPressed[code]);
    renderer.EndSprites();

    renderer.SetWireframeFill(false);
    renderer.DrawPaintColour(editor.paintColourVertices, kPaintColourTriangles);
    renderer.SetWireframeFill(false);
    renderer.BindAtlas(true);
    renderer.DrawPaintTexture(editor.paintTextureVertices, kPaintTextureTriangles);
    renderer.BindAtlas(false);

    renderer.BeginSprites();
    const Piece marker = editor.textureMode ? Piece{kSelectionMarker, kGridLeft + kCellPixels * editor.textureColumn,
                                                    kAtlasTop + kCellPixels * editor.textureRow}
                                            : Piece{kSelectionMarker, kGridLeft + kCellPixels * editor.paletteColumn,
                                                    kPaletteTop + kCellPixels * editor.paletteRow};
    DrawPanelPiece(renderer, panel, marker);
    renderer.EndSprites();
}

void DrawStatusStrip(Editor& editor, Renderer& renderer) {
    ClientRect& r = editor.statusWindow.rect;
    const float top = static_cast<float>(r.bottom - kStatusStripHeight);
    renderer.BeginSprites();
    renderer.DrawPiece(MatrixTranslation(0.0f, top, 0.0f), kStatusLeft);
    renderer.EndSprites();
    // The one-texel middle piece is stretched over the width between the two 2-pixel ends.
    renderer.BeginSprites();
    renderer.DrawPiece(
        MatrixMultiply(MatrixScaling(static_cast<float>(r.right - 4), 1.0f, 1.0f), MatrixTranslation(2.0f, top, 0.0f)),
        kStatusMiddle);
    renderer.EndSprites();
    // Measured between the pieces: the left part of the strip follows a resize one frame late.
    r = renderer.MeasureClientRect();
    renderer.BeginSprites();
    renderer.DrawPiece(
        MatrixTranslation(static_cast<float>(r.right - 2), static_cast<float>(r.bottom - kStatusStripHeight), 0.0f),
        kStatusRight);
    renderer.EndSprites();
}

void DrawPaintWindowTexts(Editor& editor, Renderer& renderer) {
    const ColourParts parts = SplitColour(editor.currentColour);
    editor.red = parts.red;
    editor.green = parts.green;
    editor.blue = parts.blue;
    const int32_t values[3] = {parts.red, parts.green, parts.blue};
    const int32_t left = static_cast<int32_t>(editor.paintWindow.x) + kNumberLeft;
    const int32_t top = static_cast<int32_t>(editor.paintWindow.y);
    for (int i = 0; i < 3; ++i) {
        char text[16];
        std::snprintf(text, sizeof(text), "%3d", values[i]);
        renderer.DrawText(text, left, top + kNumberRows[i], 1.0f, 1.0f, 1.0f, 1.0f);
    }
}

void DrawStatusTexts(const Editor& editor, Renderer& renderer) {
    const int32_t y = editor.statusWindow.rect.bottom - kStatusTextRaise;
    char text[kMaxCountText];
    FormatCubeCount(editor.scene.liveCubeCount, text);
    renderer.DrawText(text, kStatusTextLeft, y, 0.0f, 0.0f, 0.0f, 1.0f);
    if (editor.cannotCreate)
        renderer.DrawText(kCannotCreateText, kStatusWarningLeft, y, 0.0f, 0.0f, 0.0f, 1.0f);
}

}  // namespace

void FormatCubeCount(int32_t liveCubes, char (&text)[kMaxCountText]) {
    std::snprintf(text, kMaxCountText, kCubeCountFormat, liveCubes, kMaxCubes);
}

void RenderFrame(Editor& editor, const RgbSetting& background, const RgbSetting& wireframe, Renderer& renderer) {
    renderer.Clear(ClearColour(background));
    renderer.BeginScene();

    const Vec3 toEye = EyeDirection(editor.camera);
    renderer.SetViewLight({-toEye.x, -toEye.y, -toEye.z});
    renderer.SetView(EyePosition(editor.camera), {editor.camera.targetX, editor.camera.targetY, editor.camera.targetZ});
    renderer.SetWorld(MatrixTranslation(0.0f, 0.0f, 0.0f));
    renderer.SetLighting(editor.lightingSwitch);

    if (editor.facesSwitch) {
        // No ambient or emissive light on faces: lit faces take their colour from the vertices.
        renderer.SetMaterial(Material{{0, 0, 0, 0}, {0, 0, 0, 0}});
        renderer.SetWireframeFill(false);
        DrawMeshChunks(editor.mesh, renderer);
        renderer.BindAtlas(true);
        DrawTexturedChunks(editor.mesh, renderer);
        renderer.BindAtlas(false);
    }
    if (editor.wireframeSwitch) {
        // With the light off every line takes the material's ambient colour under the white ambient.
        renderer.DisableLight();
        renderer.SetLighting(true);
        const float wr = static_cast<float>(wireframe.red) * kColourScale;
        const float wg = static_cast<float>(wireframe.green) * kColourScale;
        const float wb = static_cast<float>(wireframe.blue) * kColourScale;
        renderer.SetMaterial(Material{{wr, wg, wb, 1.0f}, {wr, wg, wb, 1.0f}});
        renderer.SetWireframeFill(true);
        DrawMeshChunks(editor.mesh, renderer);
        DrawTexturedChunks(editor.mesh, renderer);
    }
    if (editor.paintWindow.shown)
        DrawPaintWindow(editor, renderer);
    if (editor.statusWindow.shown)
        DrawStatusStrip(editor, renderer);
    if (editor.paintWindow.shown)
        DrawPaintWindowTexts(editor, renderer);
    if (editor.statusWindow.shown)
        DrawStatusTexts(editor, renderer);

    renderer.EndSceneAndPresent();
}
