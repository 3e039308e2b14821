#include "render/webgl/line_indices.h"

int32_t BuildTriangleEdges(int32_t triangles, uint16_t* out) {
    int32_t n = 0;
    for (int32_t t = 0; t < triangles; ++t) {
        const auto a = static_cast<uint16_t>(3 * t), b = static_cast<uint16_t>(a + 1), c = static_cast<uint16_t>(a + 2);
        const uint16_t edges[kLineIndicesPerTriangle] = {a, b, b, c, c, a};
        for (uint16_t index : edges)
            out[n++] = index;
    }
    return n;
}
