// Vertex layouts handed to the graphics device as they are: field order and sizes matter.
#pragma once

#include <cstdint>

struct ColouredVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE
    float x, y, z;       // world position
    float nx, ny, nz;    // unit face normal
    uint32_t diffuse;    // the cube's colour, 0xAARRGGBB
};

struct TexturedVertex {  // ColouredVertex plus D3DFVF_TEX1
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;
    float u, v;  // texture coordinates into the atlas
};

struct PaintColourVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE: pre-transformed screen pixels
    float x, y, z, rhw;
    uint32_t diffuse;
};

struct PaintTextureVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};

constexpr int kPaintColourVertexCount = 408;  // 64 palette cells, swatch, three bars: 68 quads of 6
constexpr int kPaintTextureVertexCount = 12;  // atlas view and current-cell preview

constexpr uint32_t kColouredVertexFormat = 0x52;
constexpr uint32_t kTexturedVertexFormat = 0x152;
constexpr uint32_t kPaintColourVertexFormat = 0x44;
constexpr uint32_t kPaintTextureVertexFormat = 0x144;

static_assert(sizeof(ColouredVertex) == 28, "device stride");
static_assert(sizeof(TexturedVertex) == 36, "device stride");
static_assert(sizeof(PaintColourVertex) == 20, "device stride");
static_assert(sizeof(PaintTextureVertex) == 28, "device stride");
