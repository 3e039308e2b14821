// The core's drawing interface on WebGL: the counterpart of the Direct3D 9 device side. It draws the same
// FrameDrawing with the fixed-function look the Windows program gets from its device: one directional light
// with the vertex colour as diffuse and nothing on unlit sides, point-sampled textures, triangle edges for the
// wireframe, opaque panel pieces and alpha-blended text from a glyph atlas made once.
#pragma once

#include <cstdint>
#include <vector>

#include "render/glyph_text.h"
#include "render/render_frame.h"

struct Image;

class WebGlRenderer final : public Renderer {
public:
    // Compiles the programs and makes the buffers on the current context; false when the context refuses them.
    bool Create();
    // Forgets every object of a lost context without touching it; Create makes them again.
    void Forget();
    // Whether the programs and buffers are made.
    bool Ready() const { return meshProgram_ != 0; }
    // The client area in pixels: the viewport and the scale of pre-transformed vertices.
    void SetClientSize(int32_t width, int32_t height);
    void SetProjection(const Matrix& projection);

    // The 512 x 512 panel bitmap, drawn opaque.
    bool LoadPanel(const Image& image);
    // The texture atlas; without one, textured faces show their vertex colour alone.
    bool LoadAtlas(const Image& image);
    void ClearAtlas();
    // The glyph atlas and its pixels (0xAARRGGBB, alpha is the coverage, atlas.width x atlas.height); each cell
    // has margin pixels on every side of the pen's box.
    bool LoadGlyphs(const GlyphAtlas& atlas, const uint32_t* pixels, int32_t margin);

    // The next frame's pixels are kept, read back before the page shows it.
    void CaptureNextFrame() { captureNext_ = true; }
    // The kept frame as 0xAARRGGBB rows from the top, once; false when none was taken.
    bool TakeCapturedFrame(Image& image);
    // Frames presented so far.
    uint32_t FramesPresented() const { return framesPresented_; }

    void Clear(uint32_t colour) override;
    void BeginScene() override;
    void SetViewLight(Vec3 direction) override;
    void SetView(Vec3 eye, Vec3 at) override;
    void SetWorld(const Matrix& world) override;
    void SetLighting(bool on) override { state_.lighting = on; }
    void DisableLight() override { state_.lightOn = false; }
    void SetMaterial(const Material& material) override;
    void SetWireframeFill(bool wireframe) override { state_.wireframe = wireframe; }
    void BindAtlas(bool bound) override { state_.atlasBound = bound; }
    void DrawColoured(const ColouredVertex* vertices, int32_t triangles) override;
    void DrawTextured(const TexturedVertex* vertices, int32_t triangles) override;
    void DrawPaintColour(const PaintColourVertex* vertices, int32_t triangles) override;
    void DrawPaintTexture(const PaintTextureVertex* vertices, int32_t triangles) override;
    void DrawLines(const float (*points)[3], int32_t lines) override;
    void BeginSprites() override;
    void DrawPiece(const Matrix& transform, const SourceRect& source) override;
    void EndSprites() override;
    ClientRect MeasureClientRect() override { return {0, 0, width_, height_}; }
    void DrawText(const char* utf8, int32_t x, int32_t y, float r, float g, float b, float a) override;
    void EndSceneAndPresent() override;

private:
    // What the fixed-function device would hold between calls.
    struct DeviceState {
        bool lighting = true;
        bool lightOn = true;
        Vec3 lightDirection{0.0f, 0.0f, 1.0f};  // unit, the way the light travels
        float ambient[3] = {};                  // material ambient under the white global ambient
        bool wireframe = false;
        bool atlasBound = false;
    };

    struct Stream {  // a vertex list of the core and the buffers that hold its copy on the context
        const void* source = nullptr;
        uint32_t buffer = 0;
        uint32_t frame = 0;  // the frame it was last copied in
        int32_t triangles = 0;
        uint32_t facingTriangles = 0;  // index lists of the triangles facing the eye, and of their edges
        uint32_t facingEdges = 0;
        uint32_t facingFrame = 0;  // the frame they were made for
        int32_t triangleIndexCount = 0;
        int32_t edgeIndexCount = 0;
    };

    struct ScreenVertex {  // the layout of PaintTextureVertex: pre-transformed pixels, colour, texture
        float x, y, z, rhw;
        uint32_t diffuse;
        float u, v;
    };

    static_assert(sizeof(ScreenVertex) == sizeof(PaintTextureVertex), "the paint lists are drawn as they are");

    static constexpr int kMaxStreams = 2 * kMeshChunks + 2;
    static constexpr int kMaxPieces = 16;
    static constexpr int kOverlayVertices = kMaxTextGlyphs * 6;

    Stream& Upload(const void* vertices, int32_t triangles, int32_t stride, int32_t capacityVertices);
    // The stream's facing triangles and edges for this frame's eye, made once a frame.
    void UpdateFacing(Stream& stream, int32_t stride);
    void DrawMesh(const void* vertices, int32_t triangles, bool textured);
    void DrawScreen(const void* vertices, int32_t triangles, int32_t stride, bool textured);
    void DrawOverlay(const ScreenVertex* vertices, int32_t count, uint32_t texture, bool blend);
    void UpdateWorldViewProjection();
    void SetMeshUniforms(bool textured, bool edges);

    // Context objects, 0 until made.
    uint32_t meshProgram_ = 0;
    uint32_t screenProgram_ = 0;
    uint32_t overlayBuffer_ = 0;
    uint32_t lineBuffer_ = 0;
    int32_t lineBufferBytes_ = 0;  // what lineBuffer_ holds room for
    uint32_t panelTexture_ = 0;
    uint32_t atlasTexture_ = 0;
    uint32_t glyphTexture_ = 0;
    Stream streams_[kMaxStreams];
    int32_t uniforms_[16] = {};

    DeviceState state_;
    Matrix world_ = MatrixIdentity();
    Matrix view_ = MatrixIdentity();
    Matrix projection_ = MatrixIdentity();
    Vec3 objectEye_{};  // the eye in the mesh's own space, through the inverse of the world transform
    Vec3 eye_{};
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t panelWidth_ = 0;
    int32_t panelHeight_ = 0;
    bool hasAtlas_ = false;
    int32_t atlasWidth_ = 1;
    int32_t atlasHeight_ = 1;
    GlyphAtlas glyphs_;
    int32_t glyphMargin_ = 0;
    uint32_t frame_ = 0;
    uint32_t framesPresented_ = 0;

    ScreenVertex pieces_[kMaxPieces * 6];
    int32_t pieceCount_ = 0;
    bool inSprites_ = false;
    ScreenVertex text_[kOverlayVertices];

    bool captureNext_ = false;
    bool captured_ = false;
    std::vector<uint8_t> capturedRows_;
    int32_t capturedWidth_ = 0;
    int32_t capturedHeight_ = 0;
};
