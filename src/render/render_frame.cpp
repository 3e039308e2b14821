#include "render/render_frame.h"

namespace {

constexpr SourceRect kStatusLeft = {158, 58, 160, 76};
constexpr SourceRect kStatusMiddle = {163, 58, 164, 76};
constexpr SourceRect kStatusRight = {168, 58, 170, 76};

void DrawPiece(Renderer& renderer, const SpritePiece& piece) {
    renderer.DrawPiece(MatrixTranslation(piece.x, piece.y, 0.0f), piece.source);
}

void DrawMeshChunks(const CubeMesh& mesh, Renderer& renderer) {
    for (int chunk = 0; chunk <= mesh.lastColouredChunk; ++chunk)
        renderer.DrawColoured(mesh.coloured[chunk], mesh.colouredTriangles[chunk]);
}

void DrawTexturedChunks(const CubeMesh& mesh, Renderer& renderer) {
    for (int chunk = 0; chunk <= mesh.lastTexturedChunk; ++chunk)
        renderer.DrawTextured(mesh.textured[chunk], mesh.texturedTriangles[chunk]);
}

// With the light off every line takes the material's ambient colour under the white ambient: the colour given,
// whatever the cubes' colours and the lighting switch.
void SetLineLook(const float (&w)[3], Renderer& renderer) {
    renderer.DisableLight();
    renderer.SetLighting(true);
    renderer.SetMaterial(Material{{w[0], w[1], w[2], 1.0f}, {w[0], w[1], w[2], 1.0f}});
}

void DrawPaintWindow(const PaintWindowDrawing& panel, Renderer& renderer) {
    renderer.BeginSprites();
    for (int i = 0; i < panel.pieceCount; ++i)
        DrawPiece(renderer, panel.pieces[i]);
    renderer.EndSprites();

    renderer.SetWireframeFill(false);
    renderer.DrawPaintColour(panel.colourVertices, kPaintColourVertexCount / 3);
    renderer.SetWireframeFill(false);
    renderer.BindAtlas(true);
    renderer.DrawPaintTexture(panel.textureVertices, kPaintTextureVertexCount / 3);
    renderer.BindAtlas(false);

    renderer.BeginSprites();
    DrawPiece(renderer, panel.marker);
    renderer.EndSprites();
}

void DrawStatusStrip(ClientRect& r, Renderer& renderer) {
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

void DrawPaintWindowTexts(const PaintWindowDrawing& panel, Renderer& renderer) {
    for (int i = 0; i < 3; ++i)
        renderer.DrawText(panel.numbers[i], panel.numberX, panel.numberY[i], 1.0f, 1.0f, 1.0f, 1.0f);
}

void DrawStatusTexts(const StatusDrawing& status, Renderer& renderer) {
    const int32_t y = status.rect->bottom - kStatusTextRaise;
    renderer.DrawText(status.countText, kStatusTextLeft, y, 0.0f, 0.0f, 0.0f, 1.0f);
    if (status.warning != nullptr)
        renderer.DrawText(status.warning, kStatusWarningLeft, y, 0.0f, 0.0f, 0.0f, 1.0f);
    if (status.mirrorText[0] != '\0')
        renderer.DrawText(status.mirrorText, kStatusMirrorLeft, y, 0.0f, 0.0f, 0.0f, 1.0f);
    if (status.selectionText[0] != '\0')
        renderer.DrawText(status.selectionText, kStatusSelectionLeft, y, 0.0f, 0.0f, 0.0f, 1.0f);
}

}  // namespace

void RenderFrame(const FrameDrawing& drawing, Renderer& renderer) {
    renderer.Clear(drawing.clearColour);
    renderer.BeginScene();

    renderer.SetViewLight(drawing.lightDirection);
    renderer.SetView(drawing.eye, drawing.target);
    renderer.SetWorld(MatrixTranslation(0.0f, 0.0f, 0.0f));
    renderer.SetLighting(drawing.lighting);

    const CubeMesh& mesh = *drawing.mesh;
    if (drawing.faces) {
        // No ambient or emissive light on faces: lit faces take their colour from the vertices.
        renderer.SetMaterial(Material{{0, 0, 0, 0}, {0, 0, 0, 0}});
        renderer.SetWireframeFill(false);
        DrawMeshChunks(mesh, renderer);
        renderer.BindAtlas(true);
        DrawTexturedChunks(mesh, renderer);
        renderer.BindAtlas(false);
    }
    if (drawing.wireframe) {
        SetLineLook(drawing.wireframeColour, renderer);
        renderer.SetWireframeFill(true);
        DrawMeshChunks(mesh, renderer);
        DrawTexturedChunks(mesh, renderer);
    }
    if (drawing.guideLineCount > 0) {
        // The guides look like the wireframe, whether or not it is shown.
        SetLineLook(drawing.guideColour, renderer);
        renderer.DrawLines(drawing.guidePoints, drawing.guideLineCount);
    }
    if (drawing.selectionLineCount > 0) {
        SetLineLook(drawing.selectionColour, renderer);
        renderer.DrawLines(drawing.selectionPoints, drawing.selectionLineCount);
    }
    if (drawing.paintWindowShown)
        DrawPaintWindow(drawing.paintWindow, renderer);
    if (drawing.statusShown)
        DrawStatusStrip(*drawing.status.rect, renderer);
    if (drawing.paintWindowShown)
        DrawPaintWindowTexts(drawing.paintWindow, renderer);
    if (drawing.statusShown)
        DrawStatusTexts(drawing.status, renderer);

    renderer.EndSceneAndPresent();
}
