// Turns the exposed faces of every in-use cube into the coloured and textured triangle lists,
// rebuilt from scratch every frame in one pass of plain stores.
#include "render/cube_mesh.h"

#include <cstring>

// Writing a vertex as 16-byte stores instead of seven 4-byte ones is what keeps a full scene's rebuild near the
// cost of copying its bytes. Every x64 compiler offers SSE2; anything else takes the portable path, which
// BLOKKENVELD_SCALAR_MESH also selects so that it can be built and tested on x64.
#if !defined(BLOKKENVELD_SCALAR_MESH) && \
    (defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define BLOKKENVELD_SSE2_MESH 1
#include <emmintrin.h>
#endif

namespace {

// A chunk is closed between cubes once one more whole cube might push it past 65,535 vertices,
// so every chunk goes out in a single draw call and no cube straddles two chunks.
constexpr int kChunkCloseLimit = 65535;

// Corners 1 to 4 of each side, as 0/1 offsets from the cube's low corner.
constexpr int kSideCorners[kSideCount][4][3] = {
    {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}},  // -z
    {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}},  // +x
    {{1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}},  // +z
    {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}},  // -x
    {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}},  // +y
    {{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}},  // -y
};
constexpr float kSideNormals[kSideCount][3] = {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};

// Two clockwise triangles (1, 2, 3) and (1, 3, 4) per face.
constexpr int kFaceCornerOrder[kVerticesPerFace] = {0, 1, 2, 0, 2, 3};

// Which texture edge each face vertex takes: corner 1 is left-bottom, 2 left-top, 3 right-top, 4 right-bottom.
constexpr bool kVertexUsesRight[kVerticesPerFace] = {false, false, true, false, true, true};
constexpr bool kVertexUsesBottom[kVerticesPerFace] = {true, false, false, true, false, true};

struct alignas(16) Lane4 {
    float v[4];
};

// One side with everything the cube does not change filled in. The lanes match the vertex layout: head is
// the corner offset followed by nx (the vertex's first 16 bytes), tail is nx, ny, nz with the colour slot
// empty (bytes 12 to 27), depthTail is nz with the colour and texture slots empty (bytes 20 to 35 of a
// textured vertex).
struct FaceTemplate {
    Lane4 head[kVerticesPerFace];
    Lane4 tail;
    Lane4 depthTail;
};

struct FaceTable {
    FaceTemplate sides[kSideCount];
};

constexpr FaceTable MakeFaceTable() {
    FaceTable table{};
    for (int side = 0; side < kSideCount; ++side) {
        FaceTemplate& face = table.sides[side];
        for (int vertex = 0; vertex < kVerticesPerFace; ++vertex) {
            for (int axis = 0; axis < 3; ++axis)
                face.head[vertex].v[axis] = static_cast<float>(kSideCorners[side][kFaceCornerOrder[vertex]][axis]);
            face.head[vertex].v[3] = kSideNormals[side][0];
        }
        for (int axis = 0; axis < 3; ++axis)
            face.tail.v[axis] = kSideNormals[side][axis];
        face.depthTail.v[0] = kSideNormals[side][2];
    }
    return table;
}

constexpr FaceTable kFaces = MakeFaceTable();

// For every combination of exposed sides, those sides in ascending order, so that a cube costs one table
// lookup instead of six unpredictable branches.
struct ExposedSides {
    int8_t count[1 << kSideCount];
    int8_t sides[1 << kSideCount][kSideCount];
};

constexpr ExposedSides MakeExposedSides() {
    ExposedSides table{};
    for (int mask = 0; mask < (1 << kSideCount); ++mask) {
        for (int side = 0; side < kSideCount; ++side) {
            if ((mask >> side) & 1)
                table.sides[mask][table.count[mask]++] = static_cast<int8_t>(side);
        }
    }
    return table;
}

constexpr ExposedSides kExposedSides = MakeExposedSides();

// Most cubes of a solid model show no face at all; one test of all six flags lets them pass quickly.
inline bool AnyExposed(const CubeRecord& cube) {
    uint32_t first;
    uint16_t rest;
    std::memcpy(&first, cube.faceExposed, sizeof(first));
    std::memcpy(&rest, cube.faceExposed + sizeof(first), sizeof(rest));
    return (first | rest) != 0;
}

inline unsigned ExposedMask(const CubeRecord& cube) {
    unsigned mask = 0;
    for (int side = 0; side < kSideCount; ++side)
        mask |= static_cast<unsigned>(cube.faceExposed[side] != 0) << side;
    return mask;
}

// The atlas cell's edges for each face vertex.
struct CellCoordinates {
    float u[kVerticesPerFace];
    float v[kVerticesPerFace];
};

inline CellCoordinates CellOf(const CubeRecord& cube) {
    const float left = static_cast<float>(cube.cellColumn) * 0.125f;
    const float right = static_cast<float>(cube.cellColumn + 1) * 0.125f;
    const float top = static_cast<float>(cube.cellRow) * 0.125f;
    const float bottom = static_cast<float>(cube.cellRow + 1) * 0.125f;
    CellCoordinates cell;
    for (int vertex = 0; vertex < kVerticesPerFace; ++vertex) {
        cell.u[vertex] = kVertexUsesRight[vertex] ? right : left;
        cell.v[vertex] = kVertexUsesBottom[vertex] ? bottom : top;
    }
    return cell;
}

#if defined(BLOKKENVELD_SSE2_MESH)

inline __m128 ColourInLane(uint32_t colour, int lane) {
    const int bits = static_cast<int>(colour);
    return _mm_castsi128_ps(lane == 3 ? _mm_setr_epi32(0, 0, 0, bits) : _mm_setr_epi32(0, bits, 0, 0));
}

// The stores overlap by four bytes (nx, and nz with the colour), each lane writing the value it belongs to.
void WriteColouredFaces(ColouredVertex* out, const CubeRecord& cube, int count, const int8_t* sides) {
    const __m128 position = _mm_setr_ps(cube.x, cube.y, cube.z, 0.0f);
    const __m128 colour = ColourInLane(cube.colour, 3);
    for (int n = 0; n < count; ++n, out += kVerticesPerFace) {
        const FaceTemplate& face = kFaces.sides[sides[n]];
        const __m128 tail = _mm_or_ps(_mm_load_ps(face.tail.v), colour);
        for (int vertex = 0; vertex < kVerticesPerFace; ++vertex) {
            _mm_storeu_ps(&out[vertex].x, _mm_add_ps(position, _mm_load_ps(face.head[vertex].v)));
            _mm_storeu_ps(&out[vertex].nx, tail);
        }
    }
}

void WriteTexturedFaces(TexturedVertex* out, const CubeRecord& cube, int count, const int8_t* sides) {
    const __m128 position = _mm_setr_ps(cube.x, cube.y, cube.z, 0.0f);
    const __m128 colour = ColourInLane(cube.colour, 3);
    const __m128 colourBeforeTexture = ColourInLane(cube.colour, 1);
    const CellCoordinates cell = CellOf(cube);
    __m128 texture[kVerticesPerFace];
    for (int vertex = 0; vertex < kVerticesPerFace; ++vertex)
        texture[vertex] = _mm_setr_ps(0.0f, 0.0f, cell.u[vertex], cell.v[vertex]);
    for (int n = 0; n < count; ++n, out += kVerticesPerFace) {
        const FaceTemplate& face = kFaces.sides[sides[n]];
        const __m128 tail = _mm_or_ps(_mm_load_ps(face.tail.v), colour);
        const __m128 depthTail = _mm_or_ps(_mm_load_ps(face.depthTail.v), colourBeforeTexture);
        for (int vertex = 0; vertex < kVerticesPerFace; ++vertex) {
            _mm_storeu_ps(&out[vertex].x, _mm_add_ps(position, _mm_load_ps(face.head[vertex].v)));
            _mm_storeu_ps(&out[vertex].nx, tail);
            _mm_storeu_ps(&out[vertex].nz, _mm_or_ps(depthTail, texture[vertex]));
        }
    }
}

#else

template <typename Vertex>
inline void WriteFaceBody(Vertex* out, const FaceTemplate& face, const CubeRecord& cube) {
    for (int vertex = 0; vertex < kVerticesPerFace; ++vertex) {
        Vertex& v = out[vertex];
        v.x = cube.x + face.head[vertex].v[0];
        v.y = cube.y + face.head[vertex].v[1];
        v.z = cube.z + face.head[vertex].v[2];
        v.nx = face.tail.v[0];
        v.ny = face.tail.v[1];
        v.nz = face.tail.v[2];
        v.diffuse = cube.colour;
    }
}

void WriteColouredFaces(ColouredVertex* out, const CubeRecord& cube, int count, const int8_t* sides) {
    for (int n = 0; n < count; ++n, out += kVerticesPerFace)
        WriteFaceBody(out, kFaces.sides[sides[n]], cube);
}

void WriteTexturedFaces(TexturedVertex* out, const CubeRecord& cube, int count, const int8_t* sides) {
    const CellCoordinates cell = CellOf(cube);
    for (int n = 0; n < count; ++n, out += kVerticesPerFace) {
        WriteFaceBody(out, kFaces.sides[sides[n]], cube);
        for (int vertex = 0; vertex < kVerticesPerFace; ++vertex) {
            out[vertex].u = cell.u[vertex];
            out[vertex].v = cell.v[vertex];
        }
    }
}

#endif

// Running state of one store: the chunk being filled and how far it has got.
struct StoreCursor {
    int32_t chunk = 0;
    int32_t position = 0;
    int32_t triangles = 0;

    void Advance(int faces, int32_t* triangleCounts) {
        position += faces * kVerticesPerFace;
        triangles += faces * 2;
        // Its triangle count is final once a chunk is closed.
        if (position + kVerticesPerCube > kChunkCloseLimit) {
            triangleCounts[chunk] = triangles;
            ++chunk;
            position = 0;
            triangles = 0;
        }
    }
};

}  // namespace

void BuildCubeMesh(const Scene& scene, CubeMesh& mesh) {
    for (int chunk = 0; chunk < kMeshChunks; ++chunk) {
        mesh.colouredTriangles[chunk] = 0;
        mesh.texturedTriangles[chunk] = 0;
    }
    StoreCursor coloured;
    StoreCursor textured;

    const int32_t last = scene.highestUsedSlot;
    for (int32_t slot = 0; slot <= last; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        // A slot that adds no vertices cannot fill a chunk, so only cubes that wrote something test for closing.
        if (cube.inUse == 0 || !AnyExposed(cube))
            continue;
        const unsigned mask = ExposedMask(cube);
        const int count = kExposedSides.count[mask];
        const int8_t* sides = kExposedSides.sides[mask];
        if (cube.textured == 0) {
            WriteColouredFaces(mesh.coloured[coloured.chunk] + coloured.position, cube, count, sides);
            coloured.Advance(count, mesh.colouredTriangles);
        } else if (cube.textured == 1) {
            WriteTexturedFaces(mesh.textured[textured.chunk] + textured.position, cube, count, sides);
            textured.Advance(count, mesh.texturedTriangles);
        }
    }

    mesh.colouredTriangles[coloured.chunk] = coloured.triangles;
    mesh.texturedTriangles[textured.chunk] = textured.triangles;
    mesh.lastColouredChunk = coloured.chunk;
    mesh.lastTexturedChunk = textured.chunk;
}
