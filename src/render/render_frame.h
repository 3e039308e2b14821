// One complete frame of the main window: clear, lit cubes, wireframe, the paint panel and the
// status strip with their texts, present. The device side is reached through Renderer.
#pragma once

#include <cstdint>

#include "editor/platform.h"
#include "editor/settings.h"
#include "render/math3d.h"
#include "render/vertices.h"

struct Editor;

struct Material {
    float diffuse[4];  // r, g, b, a
    float ambient[4];
};

struct SourceRect {  // texels of the 512 x 512 panel bitmap; right and bottom exclusive
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
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
    virtual void BeginSprites() = 0;
    virtual void DrawPiece(const Matrix& transform, const SourceRect& source) = 0;
    virtual void EndSprites() = 0;
    virtual ClientRect MeasureClientRect() = 0;
    virtual void DrawText(const char* utf8, int32_t x, int32_t y, float r, float g, float b, float a) = 0;
    virtual void EndSceneAndPresent() = 0;
};

constexpr int kMaxCountText = 64;
// "キューブ数：live/10000"
void FormatCubeCount(int32_t liveCubes, char (&text)[kMaxCountText]);

void RenderFrame(Editor& editor, const RgbSetting& background, const RgbSetting& wireframe, Renderer& renderer);
