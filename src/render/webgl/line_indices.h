// The edges of a triangle list, for drawing it as lines where the graphics API has no wireframe fill.
#pragma once

#include <cstdint>

constexpr int kLineIndicesPerTriangle = 6;

// For triangles (3t, 3t+1, 3t+2), t = 0 .. triangles-1: the pairs (a, b), (b, c), (c, a), each edge of each
// triangle once, as the wireframe fill draws them. out holds kLineIndicesPerTriangle x triangles indices, and
// 3 x triangles must not pass 65,536. Returns the number of indices written.
int32_t BuildTriangleEdges(int32_t triangles, uint16_t* out);
