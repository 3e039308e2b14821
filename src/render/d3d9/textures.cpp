#include "render/d3d9/textures.h"

#include <wincodec.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/panels/panel_artwork.h"
#include "files/bitmap.h"
#include "render/overlay_quads.h"
#include "resource_ids.h"

namespace {

constexpr DWORD kOverlayVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
// Pixel centres lie on whole coordinates; texel centres on halves.
constexpr float kPixelAlign = 0.5f;

// The bitmap resource drawn for each language's panel.
bool ReadPanelResource(Language language, Image& image) {
    return LoadBitmapResource(language == Language::English ? IDB_PANEL_EN : IDB_PANEL, image);
}

DWORD PackChannel(float v) {
    if (v >= 1.0f)
        return 255;
    if (v > 0.0f)
        return static_cast<DWORD>(v * 255.0f + 0.5f);
    return 0;
}

// The quad's corners sit on pixel edges; this device puts pixel centres on whole coordinates.
void DrawQuad(IDirect3DDevice9* device, const OverlayQuad& quad, D3DCOLOR colour) {
    OverlayVertex strip[4];
    for (int i = 0; i < 4; ++i) {
        const OverlayCorner& c = quad.corners[i];
        strip[i] = {c.x - kPixelAlign, c.y - kPixelAlign, 0.0f, 1.0f, colour, c.u, c.v};
    }
    device->SetFVF(kOverlayVertexFormat);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(OverlayVertex));
}

}  // namespace

IDirect3DTexture9* CreateTextureFromImage(IDirect3DDevice9* device, const Image& image) {
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(static_cast<UINT>(image.width), static_cast<UINT>(image.height), 1, 0,
                                     D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)))
        return nullptr;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) {
        texture->Release();
        return nullptr;
    }
    for (int row = 0; row < image.height; ++row) {
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(row) * locked.Pitch,
                    &image.pixels[static_cast<size_t>(row) * image.width], static_cast<size_t>(image.width) * 4);
    }
    texture->UnlockRect(0);
    return texture;
}

bool DecodeImageBytes(const uint8_t* data, size_t size, Image& image) {
    if (size == 0 || size > 0xFFFFFFFFu)
        return false;
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    bool decoded = false;
    UINT width = 0, height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0 && width <= 16384 &&
        height <= 16384) {
        Image out;
        out.width = static_cast<int>(width);
        out.height = static_cast<int>(height);
        out.pixels.resize(static_cast<size_t>(width) * height);
        // 32-bit BGRA in memory is 0xAARRGGBB as a little-endian word.
        decoded = SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(out.pixels.size() * 4),
                                                  reinterpret_cast<BYTE*>(out.pixels.data())));
        if (decoded)
            image = std::move(out);
    }
    for (IUnknown* object :
         {static_cast<IUnknown*>(converter), static_cast<IUnknown*>(frame), static_cast<IUnknown*>(decoder),
          static_cast<IUnknown*>(stream), static_cast<IUnknown*>(factory)}) {
        if (object != nullptr)
            object->Release();
    }
    return decoded;
}

bool LoadBitmapResource(int resourceId, Image& image) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(2));  // RT_BITMAP
    if (found == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const auto* dib = static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (dib == nullptr || size < sizeof(BITMAPINFOHEADER))
        return false;
    // A bitmap resource is a file without its 14-byte file header: put one in front for the decoder.
    BITMAPINFOHEADER info;
    std::memcpy(&info, dib, sizeof(info));
    DWORD tableEntries = info.biClrUsed;
    if (tableEntries == 0 && info.biBitCount <= 8)
        tableEntries = 1u << info.biBitCount;
    DWORD masks = info.biCompression == BI_BITFIELDS ? 12 : 0;
    std::vector<uint8_t> file(14 + size);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfSize = static_cast<DWORD>(file.size());
    header.bfOffBits = 14 + info.biSize + masks + tableEntries * 4;
    std::memcpy(file.data(), &header, 14);
    std::memcpy(file.data() + 14, dib, size);
    return DecodeBitmap(file.data(), file.size(), image);
}

void ApplyBlackColourKey(Image& image) {
    for (uint32_t& pixel : image.pixels) {
        if (pixel == 0xFF000000u)
            pixel = 0;
    }
}

IDirect3DStateBlock9* CreateOverlayStateBlock(IDirect3DDevice9* device) {
    IDirect3DStateBlock9* block = nullptr;
    if (FAILED(device->BeginStateBlock()))
        return nullptr;
    SetOverlayStates(device, true);
    device->SetTexture(0, nullptr);
    device->SetFVF(kOverlayVertexFormat);
    device->EndStateBlock(&block);
    return block;
}

void SetOverlayStates(IDirect3DDevice9* device, bool blend) {
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, blend ? TRUE : FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
}

TextFont::~TextFont() {
    Release();
}

bool TextFont::Create(IDirect3DDevice9* device, uint8_t pointSize, const wchar_t* faceName) {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int height = (pointSize * dotsPerInch) / -72;
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, faceName);
    if (font == nullptr)
        return false;
    device_ = device;
    const bool made = MakeAtlas(font);
    DeleteObject(font);
    savedState_ = made ? CreateOverlayStateBlock(device) : nullptr;
    return savedState_ != nullptr;
}

// Every character the program shows, drawn once with GDI into one alpha texture, each in its own cell with a
// margin for strokes that reach past the pen's advance.
bool TextFont::MakeAtlas(HFONT font) {
    uint32_t codes[kMaxGlyphs];
    const int32_t count = GlyphCodePoints(codes);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    constexpr int kMargin = 2;
    constexpr int kAtlasWidth = 256;
    int32_t advances[kMaxGlyphs];
    for (int32_t i = 0; i < count; ++i) {
        const wchar_t character = static_cast<wchar_t>(codes[i]);
        SIZE extent = {0, 0};
        GetTextExtentPoint32W(dc, &character, 1, &extent);
        advances[i] = extent.cx;
    }
    PackGlyphCells(codes, advances, count, metrics.tmHeight + 2 * kMargin, kMargin, kAtlasWidth, atlas_);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = atlas_.width;
    info.bmiHeader.biHeight = -atlas_.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        std::memset(bits, 0, static_cast<size_t>(atlas_.width) * atlas_.height * 4);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        for (int32_t i = 0; i < atlas_.glyphCount; ++i) {
            const Glyph& glyph = atlas_.glyphs[i];
            const wchar_t character = static_cast<wchar_t>(glyph.codePoint);
            TextOutW(dc, glyph.atlasX + kMargin, glyph.atlasY + kMargin, &character, 1);
        }
        GdiFlush();
        // White text on black: the brightest channel is the glyph's coverage.
        Image image;
        image.width = atlas_.width;
        image.height = atlas_.height;
        image.pixels.resize(static_cast<size_t>(image.width) * image.height);
        const auto* source = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            const uint32_t p = source[i];
            uint32_t coverage = p & 0xFF;
            coverage = coverage > ((p >> 8) & 0xFF) ? coverage : ((p >> 8) & 0xFF);
            coverage = coverage > ((p >> 16) & 0xFF) ? coverage : ((p >> 16) & 0xFF);
            image.pixels[i] = coverage << 24 | 0x00FFFFFFu;
        }
        texture_ = CreateTextureFromImage(device_, image);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
    }
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    // Cells are drawn from their corner: the margin is taken off the pen position.
    margin_ = kMargin;
    return texture_ != nullptr;
}

void TextFont::DrawText(const char* utf8, int32_t x, int32_t y, float r, float g, float b, float a) {
    if (texture_ == nullptr || savedState_ == nullptr)
        return;
    GlyphQuad quads[kMaxTextGlyphs];
    const int32_t count = LayoutText(atlas_, utf8, x - margin_, y - margin_, quads);
    if (count == 0)
        return;
    const D3DCOLOR colour = PackChannel(a) << 24 | PackChannel(r) << 16 | PackChannel(g) << 8 | PackChannel(b);
    for (int32_t i = 0; i < count; ++i) {
        const OverlayQuad quad = GlyphCellQuad(quads[i], atlas_);
        OverlayVertex corners[4];
        for (int k = 0; k < 4; ++k) {
            const OverlayCorner& c = quad.corners[k];
            corners[k] = {c.x - kPixelAlign, c.y - kPixelAlign, 0.0f, 1.0f, colour, c.u, c.v};
        }
        OverlayVertex* v = &vertices_[i * 6];
        v[0] = corners[0];
        v[1] = corners[1];
        v[2] = corners[2];
        v[3] = corners[2];
        v[4] = corners[1];
        v[5] = corners[3];
    }
    savedState_->Capture();
    SetOverlayStates(device_, true);
    device_->SetTexture(0, texture_);
    device_->SetFVF(kOverlayVertexFormat);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(count * 2), vertices_, sizeof(OverlayVertex));
    savedState_->Apply();
}

void TextFont::Release() {
    if (texture_ != nullptr) {
        texture_->Release();
        texture_ = nullptr;
    }
    if (savedState_ != nullptr) {
        savedState_->Release();
        savedState_ = nullptr;
    }
    device_ = nullptr;
}

PanelSprites::~PanelSprites() {
    Release();
}

bool PanelSprites::Create(IDirect3DDevice9* device) {
    Image image;
    if (!ReadPanelArtwork(CurrentLanguage(), ReadPanelResource, image))
        return false;
    ApplyBlackColourKey(image);
    texture_ = CreateTextureFromImage(device, image);
    if (texture_ == nullptr)
        return false;
    width_ = image.width;
    height_ = image.height;
    device_ = device;
    savedState_ = CreateOverlayStateBlock(device);
    return savedState_ != nullptr;
}

// Without its texture (a rebuild that could not make it) the panel is simply not drawn.
void PanelSprites::Begin() {
    if (savedState_ == nullptr)
        return;
    savedState_->Capture();
    SetOverlayStates(device_, false);
    device_->SetTexture(0, texture_);
}

void PanelSprites::DrawPiece(const Matrix& transform, const SourceRect& source) {
    if (savedState_ == nullptr)
        return;
    DrawQuad(device_, PieceQuad(transform, source, width_, height_), 0xFFFFFFFF);
}

void PanelSprites::End() {
    if (savedState_ != nullptr)
        savedState_->Apply();
}

void PanelSprites::Release() {
    if (savedState_ != nullptr) {
        savedState_->Release();
        savedState_ = nullptr;
    }
    if (texture_ != nullptr) {
        texture_->Release();
        texture_ = nullptr;
    }
    device_ = nullptr;
}
