// The two programs of the WebGL renderer, in GLSL ES 1.00 so that WebGL 1 and 2 both take them.
#pragma once

// Attribute locations shared by both programs.
enum ShaderAttribute : unsigned {
    kAttributePosition = 0,
    kAttributeNormal = 1,
    kAttributeColour = 2,  // the bytes of 0xAARRGGBB in memory: blue, green, red, alpha
    kAttributeUv = 3,
};

// Cube faces and their edges in world space, lit as the fixed-function device lights them: the vertex colour is
// the diffuse colour, the light adds diffuse x max(0, N . -L), the material's ambient comes on top under a white
// global ambient, and the sum is clamped. The matrices are in the device's row-vector layout: read as GLSL's
// column-major matrices they come out transposed, so a matrix times a column vector is the row vector's product.
// The device's depth runs 0..1 where WebGL's clip space runs -w..w, and the device puts pixel centres on whole
// coordinates where WebGL puts them on halves: the picture moves half a pixel right and down.
constexpr char kMeshVertexShader[] = R"(
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec4 aColour;
attribute vec2 aUv;
uniform mat4 uWorldViewProjection;
uniform mat4 uWorld;
uniform vec3 uLightDirection;
uniform float uLightOn;
uniform float uLighting;
uniform vec3 uAmbient;
uniform float uEdges;
uniform vec2 uHalfPixel;
const float kEdgeDepthBias = 8.0e-5;
varying vec4 vColour;
varying vec2 vUv;
void main() {
    vec4 diffuse = aColour.bgra;
    vColour = diffuse;
    if (uLighting > 0.5) {
        vec3 normal = (uWorld * vec4(aNormal, 0.0)).xyz;
        float lambert = max(dot(normal, -uLightDirection), 0.0);
        vColour.rgb = clamp(uAmbient + uLightOn * lambert * diffuse.rgb, 0.0, 1.0);
    }
    vUv = aUv;
    vec4 clip = uWorldViewProjection * vec4(aPosition, 1.0);
    gl_Position = vec4(clip.xy + uHalfPixel * clip.w, 2.0 * clip.z - clip.w, clip.w);
    // A line takes its depth along the line, a face across its plane: where they meet the two disagree a little,
    // so edges come a hair nearer, enough to win over their own face and far too little to show through another.
    // The same amount of clip depth is less depth the further away, as the faces' depths crowd together.
    gl_Position.z -= uEdges * kEdgeDepthBias;
}
)";

// Pre-transformed vertices: client pixels with y down, their centres on whole coordinates as on the device, and
// the device's depth 0..1; the texture coordinates come with a nudge that picks the texel the device picks where a
// pixel samples exactly on a texel edge.
constexpr char kScreenVertexShader[] = R"(
attribute vec4 aPosition;
attribute vec4 aColour;
attribute vec2 aUv;
uniform vec2 uClientSize;
uniform vec2 uPixelOffset;
uniform vec2 uUvNudge;
varying vec4 vColour;
varying vec2 vUv;
void main() {
    vec2 pixel = aPosition.xy + uPixelOffset;
    gl_Position = vec4(pixel.x * 2.0 / uClientSize.x - 1.0, 1.0 - pixel.y * 2.0 / uClientSize.y,
                       aPosition.z * 2.0 - 1.0, 1.0);
    vColour = aColour.bgra;
    vUv = aUv + uUvNudge;
}
)";

// The device's first texture stage: the texture modulated by the colour, or the colour alone without a texture.
// Textures hold 0xAARRGGBB pixels as they lie in memory, so a sample's channels come in the order b, g, r, a.
constexpr char kFragmentShader[] = R"(
precision highp float;
uniform sampler2D uTexture;
uniform float uTextured;
varying vec4 vColour;
varying vec2 vUv;
void main() {
    vec4 colour = vColour;
    if (uTextured > 0.5)
        colour *= texture2D(uTexture, vUv).bgra;
    gl_FragColor = colour;
}
)";
