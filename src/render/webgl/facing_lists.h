// The triangles of a list that face the eye and lie at least partly in the view, and their edges, as index lists:
// the device culls the triangles that turn away before it fills them or draws their edges, and clips away what
// lies outside the view. Doing both before drawing spares the rasteriser every vertex and every line of what
// nobody sees.
#pragma once

#include <cstdint>

#include "math/math3d.h"

constexpr int kEdgeIndicesPerTriangle = 6;

struct FacingLists {
    int32_t triangleIndices = 0;  // three per facing triangle
    int32_t edgeIndices = 0;      // two per edge of a facing triangle: (a, b), (b, c), (c, a)
};

// Triangle t of the list is vertices 3t, 3t+1 and 3t+2, each stride bytes long with its position as the first
// three floats. It faces the eye when it winds clockwise seen from there, the device's front: when
// ((b - a) x (c - a)) . (eye - a) > 0. It is left out of the view when all three corners lie beyond the same side
// of the device's clip volume (-w <= x <= w, -w <= y <= w, 0 <= z <= w) under toClip, the row-vector transform
// from the list's own space. A triangle that opens with the edge the kept triangle before it closed with, (c, a)
// of that one as (a, b) of this one, as the two triangles of a cube's side share their diagonal, leaves that edge
// out: it is drawn once; and where those two corners are the same vertices byte for byte, the triangle takes them
// by the earlier indices. eye is in the list's own space; 3 x triangles must not pass 65,536. triangleOut takes 3
// and edgeOut 6 indices per triangle at most.
FacingLists BuildFacingLists(const void* vertices,
                             int32_t stride,
                             int32_t triangles,
                             Vec3 eye,
                             const Matrix& toClip,
                             uint16_t* triangleOut,
                             uint16_t* edgeOut);
