// The editor's graphics resources on the device (font, panel sprites, atlas) and the device side
// of the core's drawing interface.
#include <cstring>
#include <vector>

#include "files/bitmap.h"
#include "files/file_system.h"
#include "render/d3d9/graphics_device.h"
#include "render/d3d9/textures.h"
#include "render/render_frame.h"

GraphicsDevice gGraphicsDevice;

namespace {

constexpr uint8_t kFontPoints = 10;
constexpr wchar_t kFontFace[] = L"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF";  // ＭＳ ゴシック

TextFont gTextFont;
PanelSprites gPanelSprites;
IDirect3DTexture9* gAtlasTexture = nullptr;

// The render target as an image, through a copy in system memory.
bool CaptureBackBuffer(Image& image) {
    IDirect3DDevice9* device = GraphicsDevice::Device();
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* copy = nullptr;
    bool ok = false;
    D3DSURFACE_DESC desc;
    if (SUCCEEDED(device->GetRenderTarget(0, &target)) && SUCCEEDED(target->GetDesc(&desc)) &&
        (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                      nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(target, copy))) {
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
            image.width = static_cast<int>(desc.Width);
            image.height = static_cast<int>(desc.Height);
            image.pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
            for (UINT row = 0; row < desc.Height; ++row) {
                const auto* source = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) +
                                                                       static_cast<size_t>(row) * locked.Pitch);
                for (UINT x = 0; x < desc.Width; ++x)
                    image.pixels[static_cast<size_t>(row) * desc.Width + x] = source[x] | 0xFF000000u;
            }
            copy->UnlockRect();
            ok = true;
        }
    }
    if (copy != nullptr)
        copy->Release();
    if (target != nullptr)
        target->Release();
    return ok;
}

void ReleaseAtlas() {
    if (gAtlasTexture != nullptr) {
        gAtlasTexture->Release();
        gAtlasTexture = nullptr;
    }
}

D3DCOLORVALUE Colour(const float rgba[4]) {
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

class DeviceSideRenderer final : public Renderer {
public:
    HWND window = nullptr;

    void Clear(uint32_t colour) override {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
    }
    void BeginScene() override { Device()->BeginScene(); }
    void SetViewLight(Vec3 d) override { gGraphicsDevice.SetViewLight(d.x, d.y, d.z); }
    void SetView(Vec3 eye, Vec3 at) override { gGraphicsDevice.SetView(eye.x, eye.y, eye.z, at.x, at.y, at.z); }
    void SetWorld(const Matrix& world) override {
        D3DMATRIX m;
        std::memcpy(&m, &world, sizeof(m));
        Device()->SetTransform(D3DTS_WORLD, &m);
    }
    void SetLighting(bool on) override { Device()->SetRenderState(D3DRS_LIGHTING, on ? TRUE : FALSE); }
    void DisableLight() override { Device()->LightEnable(0, FALSE); }
    void SetMaterial(const Material& material) override {
        D3DMATERIAL9 m;
        std::memset(&m, 0, sizeof(m));
        m.Diffuse = Colour(material.diffuse);
        m.Ambient = Colour(material.ambient);
        Device()->SetMaterial(&m);
    }
    void SetWireframeFill(bool wireframe) override {
        Device()->SetRenderState(D3DRS_FILLMODE, wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    }
    void BindAtlas(bool bound) override { Device()->SetTexture(0, bound ? gAtlasTexture : nullptr); }
    void DrawColoured(const ColouredVertex* vertices, int32_t triangles) override {
        Draw(kColouredVertexFormat, vertices, triangles, sizeof(ColouredVertex));
    }
    void DrawTextured(const TexturedVertex* vertices, int32_t triangles) override {
        Draw(kTexturedVertexFormat, vertices, triangles, sizeof(TexturedVertex));
    }
    void DrawPaintColour(const PaintColourVertex* vertices, int32_t triangles) override {
        Draw(kPaintColourVertexFormat, vertices, triangles, sizeof(PaintColourVertex));
    }
    void DrawPaintTexture(const PaintTextureVertex* vertices, int32_t triangles) override {
        Draw(kPaintTextureVertexFormat, vertices, triangles, sizeof(PaintTextureVertex));
    }
    void DrawLines(const float (*points)[3], int32_t lines) override {
        if (lines <= 0)
            return;
        // Positions alone: with no vertex colour the lit colour comes from the material.
        Device()->SetFVF(D3DFVF_XYZ);
        Device()->DrawPrimitiveUP(D3DPT_LINELIST, static_cast<UINT>(lines), points, sizeof(points[0]));
    }
    void BeginSprites() override { gPanelSprites.Begin(); }
    void DrawPiece(const Matrix& transform, const SourceRect& s) override { gPanelSprites.DrawPiece(transform, s); }
    void EndSprites() override { gPanelSprites.End(); }
    ClientRect MeasureClientRect() override {
        RECT r;
        GetClientRect(window, &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    void DrawText(const char* utf8, int32_t x, int32_t y, float r, float g, float b, float a) override {
        gTextFont.DrawText(utf8, x, y, r, g, b, a);
    }
    void EndSceneAndPresent() override {
        Device()->EndScene();
        // The screenshot is taken from the frame just drawn, before it is shown: the front buffer cannot be
        // read back everywhere, and the back buffer also holds what another window covers.
        if (captureNext) {
            captureNext = false;
            captured = CaptureBackBuffer(frame);
        }
        Device()->Present(nullptr, nullptr, nullptr, nullptr);
    }

    bool captureNext = false;
    bool captured = false;
    Image frame;

private:
    static IDirect3DDevice9* Device() { return GraphicsDevice::Device(); }
    static void Draw(DWORD format, const void* vertices, int32_t triangles, UINT stride) {
        // A chunk with nothing in it draws nothing.
        if (triangles <= 0)
            return;
        Device()->SetFVF(format);
        Device()->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(triangles), vertices, stride);
    }
};

DeviceSideRenderer gRenderer;

}  // namespace

void CaptureNextFrame() {
    gRenderer.captureNext = true;
    gRenderer.captured = false;
}

bool TakeCapturedFrame(Image& image) {
    if (!gRenderer.captured)
        return false;
    gRenderer.captured = false;
    image = std::move(gRenderer.frame);
    return true;
}

void MakeAtlasTexture(const Image& atlas) {
    ReleaseAtlas();
    if (GraphicsDevice::Device() != nullptr && !atlas.pixels.empty())
        gAtlasTexture = CreateTextureFromImage(GraphicsDevice::Device(), atlas);
}

bool LoadGraphicsResources(const Image& atlas) {
    IDirect3DDevice9* device = GraphicsDevice::Device();
    if (!gTextFont.Create(device, kFontPoints, kFontFace))
        return false;
    if (!gPanelSprites.Create(device))
        return false;
    // From the pixels in memory, never from the file: the file may have moved, changed or gone since.
    MakeAtlasTexture(atlas);
    return true;
}

bool MakePanelTexture() {
    gPanelSprites.Release();
    return GraphicsDevice::Device() == nullptr || gPanelSprites.Create(GraphicsDevice::Device());
}

void ReleaseGraphicsResources() {
    ReleaseAtlas();
    gPanelSprites.Release();
    gTextFont.Release();
    GraphicsDevice::ReleaseDevice();
}

Renderer& DeviceRenderer(HWND window) {
    gRenderer.window = window;
    return gRenderer;
}
