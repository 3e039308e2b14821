#include "render/webgl/webgl_renderer.h"

#include <GLES2/gl2.h>

#include <cstddef>

#include "files/bitmap.h"
#include "render/overlay_quads.h"
#include "render/webgl/facing_lists.h"
#include "render/webgl/shaders.h"

namespace {

enum Uniform : int {
    kWorldViewProjection,
    kWorld,
    kLightDirection,
    kLightOn,
    kLighting,
    kAmbient,
    kEdges,
    kHalfPixel,
    kMeshTextured,
    kMeshTexture,
    kClientSize,
    kPixelOffset,
    kUvNudge,
    kScreenTextured,
    kScreenTexture,
    kUniformCount,
};

constexpr int kPieceVertices = 6;
// Pre-transformed vertices move by where the device puts a pixel's centre, half a pixel, less an eighth: edges on
// whole coordinates then never pass through a pixel centre, even once the rasteriser has snapped them to its
// sixteenths, so a quad covers the pixels it covers on the device whatever rule decides centres on an edge.
constexpr float kDevicePixelCentre = 0.5f - 1.0f / 8.0f;
// A quad on whole pixels samples its texture on texel edges. Across, the device takes the texel before the edge;
// down, it takes either, row by row, and the one after the edge is the texel the quad means to show. The texture
// coordinates move a quarter of a texel back across and forward down: more than the eighth of a pixel above moves
// them, less than a pixel's step across any of the panel's quads (a third of a texel in the enlarged preview).
constexpr float kTexelNudgeAcross = -1.0f / 4.0f;
constexpr float kTexelNudgeDown = 1.0f / 4.0f;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

GLuint Compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == 0) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint Link(const char* vertexSource, const char* fragmentSource) {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource);
    GLuint program = 0;
    if (vertex != 0 && fragment != 0) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glBindAttribLocation(program, kAttributePosition, "aPosition");
        glBindAttribLocation(program, kAttributeNormal, "aNormal");
        glBindAttribLocation(program, kAttributeColour, "aColour");
        glBindAttribLocation(program, kAttributeUv, "aUv");
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked == 0) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vertex != 0)
        glDeleteShader(vertex);
    if (fragment != 0)
        glDeleteShader(fragment);
    return program;
}

// Point sampling without mipmaps, as the device samples by default; wrap only where a texture may repeat.
GLuint MakeTexture(const uint32_t* pixels, int32_t width, int32_t height, bool repeat) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    return texture;
}

void DeleteTexture(uint32_t& texture) {
    if (texture != 0)
        glDeleteTextures(1, &texture);
    texture = 0;
}

bool IsPowerOfTwo(int32_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

uint32_t PackChannel(float v) {
    if (v >= 1.0f)
        return 255;
    if (v > 0.0f)
        return static_cast<uint32_t>(v * 255.0f + 0.5f);
    return 0;
}

const void* Offset(size_t bytes) {
    return reinterpret_cast<const void*>(bytes);
}

}  // namespace

bool WebGlRenderer::Create() {
    meshProgram_ = Link(kMeshVertexShader, kFragmentShader);
    screenProgram_ = Link(kScreenVertexShader, kFragmentShader);
    if (meshProgram_ == 0 || screenProgram_ == 0)
        return false;
    const struct {
        int index;
        GLuint program;
        const char* name;
    } names[] = {{kWorldViewProjection, meshProgram_, "uWorldViewProjection"},
                 {kWorld, meshProgram_, "uWorld"},
                 {kLightDirection, meshProgram_, "uLightDirection"},
                 {kLightOn, meshProgram_, "uLightOn"},
                 {kLighting, meshProgram_, "uLighting"},
                 {kAmbient, meshProgram_, "uAmbient"},
                 {kEdges, meshProgram_, "uEdges"},
                 {kHalfPixel, meshProgram_, "uHalfPixel"},
                 {kMeshTextured, meshProgram_, "uTextured"},
                 {kMeshTexture, meshProgram_, "uTexture"},
                 {kClientSize, screenProgram_, "uClientSize"},
                 {kPixelOffset, screenProgram_, "uPixelOffset"},
                 {kUvNudge, screenProgram_, "uUvNudge"},
                 {kScreenTextured, screenProgram_, "uTextured"},
                 {kScreenTexture, screenProgram_, "uTexture"}};
    for (const auto& n : names)
        uniforms_[n.index] = glGetUniformLocation(n.program, n.name);

    glGenBuffers(1, &overlayBuffer_);
    glBindBuffer(GL_ARRAY_BUFFER, overlayBuffer_);
    glBufferData(GL_ARRAY_BUFFER, sizeof(text_), nullptr, GL_DYNAMIC_DRAW);
    glGenBuffers(1, &lineBuffer_);
    lineBufferBytes_ = 0;

    // The device's fixed states: depth test less-or-equal, counter-clockwise triangles culled (the mesh's lists come
    // culled already), blending with source one and destination inverse source alpha, so opaque colours simply
    // overwrite.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glActiveTexture(GL_TEXTURE0);
    return true;
}

void WebGlRenderer::Forget() {
    meshProgram_ = screenProgram_ = overlayBuffer_ = lineBuffer_ = 0;
    lineBufferBytes_ = 0;
    panelTexture_ = atlasTexture_ = glyphTexture_ = 0;
    hasAtlas_ = false;
    for (Stream& stream : streams_)
        stream = Stream{};
}

void WebGlRenderer::SetClientSize(int32_t width, int32_t height) {
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
}

void WebGlRenderer::SetProjection(const Matrix& projection) {
    projection_ = projection;
}

bool WebGlRenderer::LoadPanel(const Image& image) {
    if (image.width <= 0 || image.height <= 0)
        return false;
    DeleteTexture(panelTexture_);
    panelTexture_ = MakeTexture(image.pixels.data(), image.width, image.height, false);
    panelWidth_ = image.width;
    panelHeight_ = image.height;
    return panelTexture_ != 0;
}

bool WebGlRenderer::LoadAtlas(const Image& image) {
    if (image.width <= 0 || image.height <= 0)
        return false;
    DeleteTexture(atlasTexture_);
    // WebGL 1 repeats only textures whose sides are powers of two.
    atlasTexture_ = MakeTexture(image.pixels.data(), image.width, image.height,
                                IsPowerOfTwo(image.width) && IsPowerOfTwo(image.height));
    hasAtlas_ = atlasTexture_ != 0;
    atlasWidth_ = image.width;
    atlasHeight_ = image.height;
    return hasAtlas_;
}

void WebGlRenderer::ClearAtlas() {
    DeleteTexture(atlasTexture_);
    hasAtlas_ = false;
}

bool WebGlRenderer::LoadGlyphs(const GlyphAtlas& atlas, const uint32_t* pixels, int32_t margin) {
    DeleteTexture(glyphTexture_);
    glyphs_ = atlas;
    glyphMargin_ = margin;
    glyphTexture_ = MakeTexture(pixels, atlas.width, atlas.height, false);
    return glyphTexture_ != 0;
}

bool WebGlRenderer::TakeCapturedFrame(Image& image) {
    if (!captured_)
        return false;
    captured_ = false;
    image.width = capturedWidth_;
    image.height = capturedHeight_;
    image.pixels.resize(static_cast<size_t>(capturedWidth_) * capturedHeight_);
    // Read-back rows run from the bottom, in the bytes red, green, blue, alpha.
    for (int32_t row = 0; row < capturedHeight_; ++row) {
        const uint8_t* source = &capturedRows_[static_cast<size_t>(capturedHeight_ - 1 - row) * capturedWidth_ * 4];
        uint32_t* target = &image.pixels[static_cast<size_t>(row) * capturedWidth_];
        for (int32_t x = 0; x < capturedWidth_; ++x, source += 4)
            target[x] = 0xFF000000u | uint32_t{source[0]} << 16 | uint32_t{source[1]} << 8 | source[2];
    }
    return true;
}

void WebGlRenderer::Clear(uint32_t colour) {
    glClearColor(static_cast<float>(colour >> 16 & 0xFF) / 255.0f, static_cast<float>(colour >> 8 & 0xFF) / 255.0f,
                 static_cast<float>(colour & 0xFF) / 255.0f, 1.0f);
    glClearDepthf(1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void WebGlRenderer::BeginScene() {
    ++frame_;
}

void WebGlRenderer::SetViewLight(Vec3 direction) {
    state_.lightDirection = Vec3Normalize(direction);
    state_.lightOn = true;
    state_.lighting = true;
}

void WebGlRenderer::SetView(Vec3 eye, Vec3 at) {
    view_ = MatrixLookAtLH(eye, at, {0.0f, 1.0f, 0.0f});
    eye_ = eye;
    SetWorld(world_);
}

void WebGlRenderer::SetWorld(const Matrix& world) {
    world_ = world;
    Matrix inverse;
    objectEye_ = MatrixInverse(world, inverse) ? Vec3TransformCoord(eye_, inverse) : eye_;
}

void WebGlRenderer::SetMaterial(const Material& material) {
    for (int i = 0; i < 3; ++i)
        state_.ambient[i] = material.ambient[i];
}

WebGlRenderer::Stream& WebGlRenderer::Upload(const void* vertices,
                                             int32_t triangles,
                                             int32_t stride,
                                             int32_t capacityVertices) {
    // Each list of the core keeps a buffer of its own. A list drawn twice in one frame (the faces, then their
    // edges) is copied once.
    Stream* stream = nullptr;
    Stream* oldest = &streams_[0];
    for (Stream& candidate : streams_) {
        if (candidate.source == vertices) {
            stream = &candidate;
            break;
        }
        if (candidate.frame < oldest->frame)
            oldest = &candidate;
    }
    if (stream == nullptr) {
        stream = oldest;
        if (stream->buffer == 0)
            glGenBuffers(1, &stream->buffer);
        glBindBuffer(GL_ARRAY_BUFFER, stream->buffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacityVertices) * stride, nullptr, GL_DYNAMIC_DRAW);
        stream->source = vertices;
        stream->frame = 0;
        stream->facingFrame = 0;
    }
    glBindBuffer(GL_ARRAY_BUFFER, stream->buffer);
    if (stream->frame != frame_ || stream->triangles != triangles) {
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(triangles) * 3 * stride, vertices);
        stream->frame = frame_;
        stream->triangles = triangles;
        stream->facingFrame = 0;
    }
    return *stream;
}

void WebGlRenderer::UpdateFacing(Stream& stream, int32_t stride) {
    if (stream.facingFrame == frame_)
        return;
    static uint16_t triangleIndices[kChunkVertices];
    static uint16_t edgeIndices[2 * kChunkVertices];
    const Matrix toClip = MatrixMultiply(MatrixMultiply(world_, view_), projection_);
    const FacingLists lists =
        BuildFacingLists(stream.source, stride, stream.triangles, objectEye_, toClip, triangleIndices, edgeIndices);
    if (stream.facingTriangles == 0) {
        glGenBuffers(1, &stream.facingTriangles);
        glGenBuffers(1, &stream.facingEdges);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream.facingTriangles);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(triangleIndices), nullptr, GL_DYNAMIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream.facingEdges);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(edgeIndices), nullptr, GL_DYNAMIC_DRAW);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream.facingTriangles);
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(lists.triangleIndices * sizeof(uint16_t)),
                    triangleIndices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream.facingEdges);
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(lists.edgeIndices * sizeof(uint16_t)),
                    edgeIndices);
    stream.triangleIndexCount = lists.triangleIndices;
    stream.edgeIndexCount = lists.edgeIndices;
    stream.facingFrame = frame_;
}

void WebGlRenderer::SetMeshUniforms(bool textured, bool edges) {
    const Matrix worldViewProjection = MatrixMultiply(MatrixMultiply(world_, view_), projection_);
    glUniformMatrix4fv(uniforms_[kWorldViewProjection], 1, GL_FALSE, &worldViewProjection.m[0][0]);
    glUniformMatrix4fv(uniforms_[kWorld], 1, GL_FALSE, &world_.m[0][0]);
    glUniform3f(uniforms_[kLightDirection], state_.lightDirection.x, state_.lightDirection.y, state_.lightDirection.z);
    glUniform1f(uniforms_[kLightOn], state_.lightOn ? 1.0f : 0.0f);
    glUniform1f(uniforms_[kLighting], state_.lighting ? 1.0f : 0.0f);
    glUniform3f(uniforms_[kAmbient], state_.ambient[0], state_.ambient[1], state_.ambient[2]);
    glUniform1f(uniforms_[kEdges], edges ? 1.0f : 0.0f);
    // Half a pixel in clip units: one pixel is 2 / width of them.
    glUniform2f(uniforms_[kHalfPixel], 1.0f / static_cast<float>(width_), -1.0f / static_cast<float>(height_));
    glUniform1f(uniforms_[kMeshTextured], textured ? 1.0f : 0.0f);
    glUniform1i(uniforms_[kMeshTexture], 0);
}

void WebGlRenderer::DrawMesh(const void* vertices, int32_t triangles, bool textured) {
    // A chunk with nothing in it draws nothing.
    if (triangles <= 0 || meshProgram_ == 0)
        return;
    const int32_t stride = textured ? sizeof(TexturedVertex) : sizeof(ColouredVertex);
    Stream& stream = Upload(vertices, triangles, stride, kChunkVertices);
    UpdateFacing(stream, stride);
    const bool sampled = textured && state_.atlasBound && hasAtlas_;
    glUseProgram(meshProgram_);
    SetMeshUniforms(sampled, state_.wireframe);
    if (sampled)
        glBindTexture(GL_TEXTURE_2D, atlasTexture_);
    glBindBuffer(GL_ARRAY_BUFFER, stream.buffer);
    glEnableVertexAttribArray(kAttributePosition);
    glVertexAttribPointer(kAttributePosition, 3, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(ColouredVertex, x)));
    glEnableVertexAttribArray(kAttributeNormal);
    glVertexAttribPointer(kAttributeNormal, 3, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(ColouredVertex, nx)));
    glEnableVertexAttribArray(kAttributeColour);
    glVertexAttribPointer(kAttributeColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          Offset(offsetof(ColouredVertex, diffuse)));
    if (textured) {
        glEnableVertexAttribArray(kAttributeUv);
        glVertexAttribPointer(kAttributeUv, 2, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(TexturedVertex, u)));
    } else {
        glDisableVertexAttribArray(kAttributeUv);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    // Only what faces the eye is drawn, as the device culls the rest: the sides, or the sides' edges.
    glDisable(GL_CULL_FACE);
    if (state_.wireframe) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream.facingEdges);
        glDrawElements(GL_LINES, stream.edgeIndexCount, GL_UNSIGNED_SHORT, nullptr);
    } else {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream.facingTriangles);
        glDrawElements(GL_TRIANGLES, stream.triangleIndexCount, GL_UNSIGNED_SHORT, nullptr);
    }
    glDisableVertexAttribArray(kAttributeNormal);
}

void WebGlRenderer::DrawColoured(const ColouredVertex* vertices, int32_t triangles) {
    DrawMesh(vertices, triangles, false);
}

void WebGlRenderer::DrawTextured(const TexturedVertex* vertices, int32_t triangles) {
    DrawMesh(vertices, triangles, true);
}

void WebGlRenderer::DrawLines(const float (*points)[3], int32_t lines) {
    if (lines <= 0 || points == nullptr || meshProgram_ == 0)
        return;
    const int32_t bytes = lines * 2 * static_cast<int32_t>(sizeof(points[0]));
    glBindBuffer(GL_ARRAY_BUFFER, lineBuffer_);
    if (bytes > lineBufferBytes_) {
        glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_DYNAMIC_DRAW);
        lineBufferBytes_ = bytes;
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, points);
    glUseProgram(meshProgram_);
    // As the wireframe's edges: the same transforms, light and nudge towards the eye.
    SetMeshUniforms(false, true);
    glEnableVertexAttribArray(kAttributePosition);
    glVertexAttribPointer(kAttributePosition, 3, GL_FLOAT, GL_FALSE, sizeof(points[0]), Offset(0));
    // Positions alone, as the device is given them: no normal, and the device's white where a vertex has no colour.
    glDisableVertexAttribArray(kAttributeNormal);
    glVertexAttrib3f(kAttributeNormal, 0.0f, 0.0f, 0.0f);
    glDisableVertexAttribArray(kAttributeColour);
    glVertexAttrib4f(kAttributeColour, 1.0f, 1.0f, 1.0f, 1.0f);
    glDisableVertexAttribArray(kAttributeUv);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    glDrawArrays(GL_LINES, 0, lines * 2);
}

void WebGlRenderer::DrawScreen(const void* vertices, int32_t triangles, int32_t stride, bool textured) {
    if (triangles <= 0 || vertices == nullptr || screenProgram_ == 0)
        return;
    const Stream& stream = Upload(vertices, triangles, stride, triangles * 3);
    const bool sampled = textured && state_.atlasBound && hasAtlas_;
    glUseProgram(screenProgram_);
    glUniform2f(uniforms_[kClientSize], static_cast<float>(width_), static_cast<float>(height_));
    glUniform2f(uniforms_[kPixelOffset], kDevicePixelCentre, kDevicePixelCentre);
    glUniform2f(uniforms_[kUvNudge], sampled ? kTexelNudgeAcross / static_cast<float>(atlasWidth_) : 0.0f,
                sampled ? kTexelNudgeDown / static_cast<float>(atlasHeight_) : 0.0f);
    glUniform1f(uniforms_[kScreenTextured], sampled ? 1.0f : 0.0f);
    glUniform1i(uniforms_[kScreenTexture], 0);
    if (sampled)
        glBindTexture(GL_TEXTURE_2D, atlasTexture_);
    glBindBuffer(GL_ARRAY_BUFFER, stream.buffer);
    glEnableVertexAttribArray(kAttributePosition);
    glVertexAttribPointer(kAttributePosition, 4, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(ScreenVertex, x)));
    glEnableVertexAttribArray(kAttributeColour);
    glVertexAttribPointer(kAttributeColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          Offset(offsetof(ScreenVertex, diffuse)));
    if (textured) {
        glEnableVertexAttribArray(kAttributeUv);
        glVertexAttribPointer(kAttributeUv, 2, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(ScreenVertex, u)));
    } else {
        glDisableVertexAttribArray(kAttributeUv);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    // The panel's quads are always filled (the frame sets the solid fill before them); culled as the device culls.
    glEnable(GL_CULL_FACE);
    glDrawArrays(GL_TRIANGLES, 0, triangles * 3);
}

void WebGlRenderer::DrawPaintColour(const PaintColourVertex* vertices, int32_t triangles) {
    DrawScreen(vertices, triangles, sizeof(PaintColourVertex), false);
}

void WebGlRenderer::DrawPaintTexture(const PaintTextureVertex* vertices, int32_t triangles) {
    DrawScreen(vertices, triangles, sizeof(PaintTextureVertex), true);
}

void WebGlRenderer::DrawOverlay(const ScreenVertex* vertices, int32_t count, uint32_t texture, bool blend) {
    if (count <= 0 || texture == 0 || screenProgram_ == 0)
        return;
    glUseProgram(screenProgram_);
    glUniform2f(uniforms_[kClientSize], static_cast<float>(width_), static_cast<float>(height_));
    glUniform2f(uniforms_[kPixelOffset], 0.0f, 0.0f);
    glUniform2f(uniforms_[kUvNudge], 0.0f, 0.0f);
    glUniform1f(uniforms_[kScreenTextured], 1.0f);
    glUniform1i(uniforms_[kScreenTexture], 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindBuffer(GL_ARRAY_BUFFER, overlayBuffer_);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(ScreenVertex)), vertices);
    constexpr GLsizei stride = sizeof(ScreenVertex);
    glEnableVertexAttribArray(kAttributePosition);
    glVertexAttribPointer(kAttributePosition, 4, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(ScreenVertex, x)));
    glEnableVertexAttribArray(kAttributeColour);
    glVertexAttribPointer(kAttributeColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          Offset(offsetof(ScreenVertex, diffuse)));
    glEnableVertexAttribArray(kAttributeUv);
    glVertexAttribPointer(kAttributeUv, 2, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(ScreenVertex, u)));
    // Panel pieces go down opaque; text is blended by its coverage. Neither is culled.
    glDisable(GL_CULL_FACE);
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
    glDrawArrays(GL_TRIANGLES, 0, count);
}

namespace {

// Two triangles of a quad, the way the overlay draws it: top-left, top-right, bottom-left, then bottom-left,
// top-right, bottom-right.
template <typename Vertex>
void WriteQuad(const OverlayQuad& quad, uint32_t colour, Vertex* out) {
    constexpr int kOrder[6] = {0, 1, 2, 2, 1, 3};
    for (int i = 0; i < 6; ++i) {
        const OverlayCorner& c = quad.corners[kOrder[i]];
        out[i] = {c.x, c.y, 0.0f, 1.0f, colour, c.u, c.v};
    }
}

}  // namespace

void WebGlRenderer::BeginSprites() {
    inSprites_ = true;
    pieceCount_ = 0;
}

void WebGlRenderer::DrawPiece(const Matrix& transform, const SourceRect& source) {
    if (!inSprites_ || pieceCount_ >= kMaxPieces || panelTexture_ == 0)
        return;
    WriteQuad(PieceQuad(transform, source, panelWidth_, panelHeight_), kOpaqueWhite,
              &pieces_[pieceCount_ * kPieceVertices]);
    ++pieceCount_;
}

void WebGlRenderer::EndSprites() {
    DrawOverlay(pieces_, pieceCount_ * kPieceVertices, panelTexture_, false);
    inSprites_ = false;
    pieceCount_ = 0;
}

void WebGlRenderer::DrawText(const char* utf8, int32_t x, int32_t y, float r, float g, float b, float a) {
    if (glyphTexture_ == 0)
        return;
    // Cells are drawn from their corner: the margin is taken off the pen position.
    GlyphQuad quads[kMaxTextGlyphs];
    const int32_t count = LayoutText(glyphs_, utf8, x - glyphMargin_, y - glyphMargin_, quads);
    const uint32_t colour = PackChannel(a) << 24 | PackChannel(r) << 16 | PackChannel(g) << 8 | PackChannel(b);
    for (int32_t i = 0; i < count; ++i)
        WriteQuad(GlyphCellQuad(quads[i], glyphs_), colour, &text_[i * 6]);
    DrawOverlay(text_, count * 6, glyphTexture_, true);
}

void WebGlRenderer::EndSceneAndPresent() {
    // The page shows the drawing buffer once this task ends; a capture reads it before that.
    if (captureNext_ && width_ > 0 && height_ > 0) {
        captureNext_ = false;
        capturedWidth_ = width_;
        capturedHeight_ = height_;
        capturedRows_.resize(static_cast<size_t>(width_) * height_ * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, capturedRows_.data());
        captured_ = true;
    }
    ++framesPresented_;
}
