// One complete frame of the main window: clear, lit cubes, wireframe, guide lines, the paint panel and the status
// strip with their texts, present. It draws what it is handed; the device side is reached through Renderer.
#pragma once

#include <cstdint>

#include "math/math3d.h"
#include "render/frame_drawing.h"
#include "render/vertices.h"

struct Material {
    float diffuse[4];  // r, g, b, a
    float ambient[4];
};

class Renderer {
public:
    virtual ~Renderer() = default;
    virtual void Clear(uint32_t colour) = 0;  // target to colour, depth to 1
    virtual void BeginScene() = 0;
    virtual void SetViewLight(Vec3 direction) = 0;  // enables the light and lighting
    virtual void SetView(Vec3 eye, Vec3 at) = 0;
    virtual void SetWorld(const Matrix& world) = 0;
    virtual void SetLighting(bool on) = 0;
    virtual void DisableLight() = 0;
    virtual void SetMaterial(const Material& material) = 0;
    virtual void SetWireframeFill(bool wireframe) = 0;
    virtual void BindAtlas(bool bound) = 0;  // the atlas texture, or none
    virtual void DrawColoured(const ColouredVertex* vertices, int32_t triangles) = 0;
    virtual void DrawTextured(const TexturedVertex* vertices, int32_t triangles) = 0;
    virtual void DrawPaintColour(const PaintColourVertex* vertices, int32_t triangles) = 0;
    virtual void DrawPaintTexture(const PaintTextureVertex* vertices, int32_t triangles) = 0;
    virtual void DrawLines(const float (*points)[3], int32_t lines) = 0;  // pairs of world points, lit as set
    virtual void BeginSprites() = 0;
    virtual void DrawPiece(const Matrix& transform, const SourceRect& source) = 0;
    virtual void EndSprites() = 0;
    virtual ClientRect MeasureClientRect() = 0;
    virtual void DrawText(const char* utf8, int32_t x, int32_t y, float r, float g, float b, float a) = 0;
    virtual void EndSceneAndPresent() = 0;
};

// The status strip: 18 pixels of the panel bitmap along the bottom of the client area, texts 16 pixels up.
constexpr int kStatusStripHeight = 18;
constexpr int kStatusTextRaise = 16;
constexpr int kStatusTextLeft = 4;
constexpr int kStatusWarningLeft = 200;
constexpr int kStatusMirrorLeft = 380;
constexpr int kStatusSelectionLeft = 490;

// Draws and presents the frame. The status rectangle is measured into *drawing.status.rect while the strip
// is drawn, so its left part follows a resize one frame late.
void RenderFrame(const FrameDrawing& drawing, Renderer& renderer);
