#include "render/webgl/facing_lists.h"

#include <cstring>

namespace {

bool Same(Vec3 a, Vec3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

Vec3 PositionAt(const uint8_t* vertex) {
    Vec3 p;
    std::memcpy(&p, vertex, sizeof(p));
    return p;
}

// The sides of the clip volume a point lies beyond, one bit each.
unsigned Outside(Vec3 p, const Matrix& m) {
    const float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    const float z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
    const float w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    return (x < -w ? 1u : 0u) | (x > w ? 2u : 0u) | (y < -w ? 4u : 0u) | (y > w ? 8u : 0u) | (z < 0.0f ? 16u : 0u) |
           (z > w ? 32u : 0u);
}

}  // namespace

FacingLists BuildFacingLists(const void* vertices,
                             int32_t stride,
                             int32_t triangles,
                             Vec3 eye,
                             const Matrix& toClip,
                             uint16_t* triangleOut,
                             uint16_t* edgeOut) {
    FacingLists lists;
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    // The last kept triangle's first and third corners: its closing edge, which the next triangle may open with.
    bool previousKept = false;
    Vec3 previousFirst{}, previousThird{};
    uint16_t previousFirstIndex = 0, previousThirdIndex = 0;
    for (int32_t t = 0; t < triangles; ++t) {
        const uint8_t* first = bytes + static_cast<size_t>(3 * t) * static_cast<size_t>(stride);
        const Vec3 a = PositionAt(first), b = PositionAt(first + stride), c = PositionAt(first + 2 * stride);
        const Vec3 normal = Vec3Cross(Vec3Subtract(b, a), Vec3Subtract(c, a));
        const bool sharedEdge = previousKept && Same(a, previousFirst) && Same(b, previousThird);
        previousKept = false;
        if (Vec3Dot(normal, Vec3Subtract(eye, a)) <= 0.0f)
            continue;
        if ((Outside(a, toClip) & Outside(b, toClip) & Outside(c, toClip)) != 0)
            continue;
        auto i = static_cast<uint16_t>(3 * t), j = static_cast<uint16_t>(i + 1);
        const auto k = static_cast<uint16_t>(i + 2);
        // Corners the triangle before already has, colour and all, are taken from it: the rasteriser then shades
        // four corners of a cube's side instead of six.
        const auto size = static_cast<size_t>(stride);
        if (sharedEdge && std::memcmp(first, bytes + previousFirstIndex * size, size) == 0 &&
            std::memcmp(first + stride, bytes + previousThirdIndex * size, size) == 0) {
            i = previousFirstIndex;
            j = previousThirdIndex;
        }
        previousKept = true;
        previousFirst = a;
        previousThird = c;
        previousFirstIndex = i;
        previousThirdIndex = k;
        uint16_t* tri = triangleOut + lists.triangleIndices;
        tri[0] = i;
        tri[1] = j;
        tri[2] = k;
        lists.triangleIndices += 3;
        // The edge this triangle shares with the one before (the diagonal of a cube's side) is drawn once.
        const uint16_t edges[kEdgeIndicesPerTriangle] = {i, j, j, k, k, i};
        const int from = sharedEdge ? 2 : 0;
        for (int e = from; e < kEdgeIndicesPerTriangle; ++e)
            edgeOut[lists.edgeIndices++] = edges[e];
    }
    return lists;
}
