// Textures made from decoded bitmaps, and text drawn with GDI into textures.
#pragma once

#include "render/d3d9/win32.h"

#include <d3d9.h>

#include <cstdint>

#include "math/math3d.h"
#include "render/frame_drawing.h"
#include "render/glyph_text.h"

struct Image;

// A managed A8R8G8B8 texture holding the image; null when the device refuses it.
IDirect3DTexture9* CreateTextureFromImage(IDirect3DDevice9* device, const Image& image);
// Decodes an image file's bytes (BMP, PNG, JPEG, ...) with the Windows Imaging Component; false when it cannot.
bool DecodeImageBytes(const uint8_t* data, size_t size, Image& image);
// Decodes a BITMAP resource of this program; false when it is missing or unreadable.
bool LoadBitmapResource(int resourceId, Image& image);

// Pixels of the key colour (opaque black) become fully transparent, as the panel artwork expects.
void ApplyBlackColourKey(Image& image);

struct OverlayVertex {  // screen-space textured quads of the panel and the texts
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
};

// Text in one GDI font: every character the program shows is rendered once, when the font is made, into a
// glyph atlas; a text is then drawn as glyph quads from a fixed array, tinted with the text colour.
class TextFont {
public:
    ~TextFont();
    // Height follows the screen's dots per inch: (points x LOGPIXELSY) / -72, truncated.
    bool Create(IDirect3DDevice9* device, uint8_t pointSize, const wchar_t* faceName);
    // Draws nothing when the font could not be made.
    void DrawText(const char* utf8, int32_t x, int32_t y, float r, float g, float b, float a);
    void Release();

private:
    bool MakeAtlas(HFONT font);

    IDirect3DDevice9* device_ = nullptr;
    IDirect3DTexture9* texture_ = nullptr;
    IDirect3DStateBlock9* savedState_ = nullptr;
    GlyphAtlas atlas_;
    int32_t margin_ = 0;
    OverlayVertex vertices_[kMaxTextGlyphs * 6];
};

// Rectangles of the panel texture drawn at pixel positions, opaque, with a translation or a
// horizontal stretch.
class PanelSprites {
public:
    ~PanelSprites();
    bool Create(IDirect3DDevice9* device);
    void Begin();
    void DrawPiece(const Matrix& transform, const SourceRect& source);
    void End();
    void Release();

private:
    IDirect3DDevice9* device_ = nullptr;
    IDirect3DTexture9* texture_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    IDirect3DStateBlock9* savedState_ = nullptr;
};

// Records the states that the 2-D drawing changes, so they can be put back afterwards.
IDirect3DStateBlock9* CreateOverlayStateBlock(IDirect3DDevice9* device);
// Sets the states for screen-space textured quads; blend chooses alpha blending over opaque drawing.
void SetOverlayStates(IDirect3DDevice9* device, bool blend);
