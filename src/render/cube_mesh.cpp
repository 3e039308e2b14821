// Turns the exposed faces of every in-use cube into the coloured and textured triangle lists,
// rebuilt from scratch every frame in one pass of plain stores.
#include "render/cube_mesh.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "scene/inlining.h"

// The SSE2 path writes a vertex as 16-byte stores laid over these fields.
static_assert(offsetof(ColouredVertex, nx) == 12 && offsetof(ColouredVertex, diffuse) == 24, "coloured vertex");
static_assert(offsetof(TexturedVertex, nz) == 20 && offsetof(TexturedVertex, diffuse) == 24 &&
                  offsetof(TexturedVertex, u) == 28,
              "textured vertex");

// Writing a vertex as 16-byte stores instead of seven 4-byte ones is what keeps a full scene's rebuild near the
// cost of copying its bytes. Every x64 compiler offers SSE2; anything else takes the portable path, which
// BLOKKENVELD_SCALAR_MESH also selects so that it can be built and tested on x64.
#if !defined(BLOKKENVELD_SCALAR_MESH) && \
    (defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define BLOKKENVELD_SSE2_MESH 1
#include <emmintrin.h>
#endif

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace {

// A chunk is closed between cubes once one more whole cube might push it past 65,535 vertices,
// so every chunk goes out in a single draw call and no cube straddles two chunks.
constexpr int kChunkCloseLimit = 65535;

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

// Most cubes of a solid model show no face at all; one test of all six flags lets them pass quickly.
inline bool AnyExposed(const CubeRecord& cube) {
    uint32_t first;
    uint16_t rest;
    std::memcpy(&first, cube.faceExposed, sizeof(first));
    std::memcpy(&rest, cube.faceExposed + sizeof(first), sizeof(rest));
    return (first | rest) != 0;
}

#if defined(BLOKKENVELD_SSE2_MESH)

// The six flags side by side in one word: bit 7 of each byte set when the flag is not 0, then one multiply gathers
// those bits into the mask, each from its own byte so that none carries into another.
inline unsigned ExposedMask(const CubeRecord& cube) {
    uint32_t low;
    uint16_t high;
    std::memcpy(&low, cube.faceExposed, sizeof(low));
    std::memcpy(&high, cube.faceExposed + 4, sizeof(high));
    constexpr uint64_t kLow7 = 0x00007F7F7F7F7F7Full;
    const uint64_t flags = low | static_cast<uint64_t>(high) << 32;
    const uint64_t set = ((((flags & kLow7) + kLow7) | flags) >> 7) & 0x0000010101010101ull;
    return static_cast<unsigned>((set * 0x0408102040800000ull) >> 58);
}

#else

inline unsigned ExposedMask(const CubeRecord& cube) {
    unsigned mask = 0;
    for (int side = 0; side < kSideCount; ++side)
        mask |= static_cast<unsigned>(cube.faceExposed[side] != 0) << side;
    return mask;
}

#endif

// The atlas cell's edges for each face vertex.
struct CellCoordinates {
    float u[kVerticesPerFace];
    float v[kVerticesPerFace];
};

inline CellCoordinates AtlasCellOf(const CubeRecord& cube) {
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

inline int LowestBit(unsigned bits) {
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long index;
    _BitScanForward(&index, bits);
    return static_cast<int>(index);
#else
    return __builtin_ctz(bits);
#endif
}

inline __m128 ColourInLane(uint32_t colour, int lane) {
    const int bits = static_cast<int>(colour);
    return _mm_castsi128_ps(lane == 3 ? _mm_setr_epi32(0, 0, 0, bits) : _mm_setr_epi32(0, bits, 0, 0));
}

// x, y, z and a zero, from one load of the record's first 16 bytes.
inline __m128 PositionOf(const CubeRecord& cube) {
    return _mm_and_ps(_mm_loadu_ps(&cube.x), _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0)));
}

// One vertex as two 16-byte stores that overlap by four bytes (nx), each lane writing the value it belongs to.
inline void StoreColouredVertex(ColouredVertex& vertex, __m128 head, __m128 tail) {
    _mm_storeu_ps(&vertex.x, head);
    _mm_storeu_ps(&vertex.nx, tail);
}

// A textured vertex adds a third store over nz, the colour and the texture coordinates.
inline void StoreTexturedVertex(TexturedVertex& vertex, __m128 head, __m128 tail, __m128 depthTail, __m128 texture) {
    _mm_storeu_ps(&vertex.x, head);
    _mm_storeu_ps(&vertex.nx, tail);
    _mm_storeu_ps(&vertex.nz, _mm_or_ps(depthTail, texture));
}

// The face's corners 1 to 4, each with nx in its last lane; its vertices go out as corners 1, 2, 3, 1, 3, 4.
struct FaceCorners {
    __m128 corner[4];
};

inline FaceCorners CornersOf(const FaceTemplate& face, __m128 position) {
    return FaceCorners{
        {_mm_add_ps(position, _mm_load_ps(face.head[0].v)), _mm_add_ps(position, _mm_load_ps(face.head[1].v)),
         _mm_add_ps(position, _mm_load_ps(face.head[2].v)), _mm_add_ps(position, _mm_load_ps(face.head[5].v))}};
}

// Writes the cube's exposed faces from `out` on, in side order, and returns where the next cube's faces go. The
// sides come straight from the mask's bits, and the six vertices of a face are written out one by one: most cubes
// of a solid model's hull show a single face, and a loop around them is not unrolled by every compiler. Inlined
// into its callers, which run it for every cube that shows a face.
BLOKKENVELD_FORCEINLINE ColouredVertex* WriteColouredFaces(ColouredVertex* out,
                                                           const CubeRecord& cube,
                                                           unsigned exposedMask) {
    const __m128 position = PositionOf(cube);
    const __m128 colour = ColourInLane(cube.colour, 3);
    for (unsigned sides = exposedMask; sides != 0; sides &= sides - 1, out += kVerticesPerFace) {
        const FaceTemplate& face = kFaces.sides[LowestBit(sides)];
        const FaceCorners corners = CornersOf(face, position);
        const __m128 tail = _mm_or_ps(_mm_load_ps(face.tail.v), colour);
        StoreColouredVertex(out[0], corners.corner[0], tail);
        StoreColouredVertex(out[1], corners.corner[1], tail);
        StoreColouredVertex(out[2], corners.corner[2], tail);
        StoreColouredVertex(out[3], corners.corner[0], tail);
        StoreColouredVertex(out[4], corners.corner[2], tail);
        StoreColouredVertex(out[5], corners.corner[3], tail);
    }
    return out;
}

TexturedVertex* WriteTexturedFaces(TexturedVertex* out, const CubeRecord& cube, unsigned exposedMask) {
    const __m128 position = PositionOf(cube);
    const __m128 colour = ColourInLane(cube.colour, 3);
    const __m128 colourBeforeTexture = ColourInLane(cube.colour, 1);
    const CellCoordinates cell = AtlasCellOf(cube);
    // Corner 1 is left-bottom, 2 left-top, 3 right-top, 4 right-bottom.
    const __m128 leftBottom = _mm_setr_ps(0.0f, 0.0f, cell.u[0], cell.v[0]);
    const __m128 leftTop = _mm_setr_ps(0.0f, 0.0f, cell.u[1], cell.v[1]);
    const __m128 rightTop = _mm_setr_ps(0.0f, 0.0f, cell.u[2], cell.v[2]);
    const __m128 rightBottom = _mm_setr_ps(0.0f, 0.0f, cell.u[5], cell.v[5]);
    for (unsigned sides = exposedMask; sides != 0; sides &= sides - 1, out += kVerticesPerFace) {
        const FaceTemplate& face = kFaces.sides[LowestBit(sides)];
        const FaceCorners corners = CornersOf(face, position);
        const __m128 tail = _mm_or_ps(_mm_load_ps(face.tail.v), colour);
        const __m128 depthTail = _mm_or_ps(_mm_load_ps(face.depthTail.v), colourBeforeTexture);
        StoreTexturedVertex(out[0], corners.corner[0], tail, depthTail, leftBottom);
        StoreTexturedVertex(out[1], corners.corner[1], tail, depthTail, leftTop);
        StoreTexturedVertex(out[2], corners.corner[2], tail, depthTail, rightTop);
        StoreTexturedVertex(out[3], corners.corner[0], tail, depthTail, leftBottom);
        StoreTexturedVertex(out[4], corners.corner[2], tail, depthTail, rightTop);
        StoreTexturedVertex(out[5], corners.corner[3], tail, depthTail, rightBottom);
    }
    return out;
}

#else

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

ColouredVertex* WriteColouredFaces(ColouredVertex* out, const CubeRecord& cube, unsigned exposedMask) {
    const int count = kExposedSides.count[exposedMask];
    const int8_t* sides = kExposedSides.sides[exposedMask];
    for (int n = 0; n < count; ++n, out += kVerticesPerFace)
        WriteFaceBody(out, kFaces.sides[sides[n]], cube);
    return out;
}

TexturedVertex* WriteTexturedFaces(TexturedVertex* out, const CubeRecord& cube, unsigned exposedMask) {
    const int count = kExposedSides.count[exposedMask];
    const int8_t* sides = kExposedSides.sides[exposedMask];
    const CellCoordinates cell = AtlasCellOf(cube);
    for (int n = 0; n < count; ++n, out += kVerticesPerFace) {
        WriteFaceBody(out, kFaces.sides[sides[n]], cube);
        for (int vertex = 0; vertex < kVerticesPerFace; ++vertex) {
            out[vertex].u = cell.u[vertex];
            out[vertex].v = cell.v[vertex];
        }
    }
    return out;
}

#endif

// Where the next face goes in one store. The chunk being filled and its triangle count (two triangles for every
// six vertices) follow from that position, so a cube costs one compare here and the cursor fits in registers.
template <typename Vertex>
struct StoreCursor {
    Vertex* next;
    Vertex* closeAfter;  // a chunk holding more vertices than this might not fit one more whole cube
};

template <typename Vertex>
StoreCursor<Vertex> CursorAt(Vertex (*chunks)[kChunkVertices], int32_t chunk) {
    return StoreCursor<Vertex>{chunks[chunk], chunks[chunk] + (kChunkCloseLimit - kVerticesPerCube)};
}

// The chunks of a store lie one after another, so the byte distance from the first tells which one `next` is in.
template <typename Vertex>
int32_t ChunkOf(Vertex (*chunks)[kChunkVertices], const Vertex* next) {
    const uintptr_t offset = reinterpret_cast<uintptr_t>(next) - reinterpret_cast<uintptr_t>(chunks);
    return static_cast<int32_t>(offset / sizeof(chunks[0]));
}

// Records the triangle count of the chunk `next` lies in and returns that chunk's number.
template <typename Vertex>
int32_t RecordTriangles(Vertex (*chunks)[kChunkVertices], int32_t* triangleCounts, const Vertex* next) {
    const int32_t chunk = ChunkOf(chunks, next);
    triangleCounts[chunk] = static_cast<int32_t>(next - chunks[chunk]) / 3;
    return chunk;
}

// Its triangle count is final once a chunk is closed. Kept out of line: it runs once in some 1,800 cubes.
template <typename Vertex>
BLOKKENVELD_NOINLINE StoreCursor<Vertex> CloseChunk(Vertex (*chunks)[kChunkVertices],
                                                    int32_t* triangleCounts,
                                                    const Vertex* next) {
    return CursorAt(chunks, RecordTriangles(chunks, triangleCounts, next) + 1);
}

constexpr float kEmptyLow = 1e30f;
constexpr float kEmptyHigh = -1e30f;

// Fills both stores cube by cube; the standalone rebuild and the per-frame pass differ only in where a cube's
// exposed sides come from.
class MeshWriter {
public:
    explicit MeshWriter(CubeMesh& mesh)
        : mesh_(mesh), coloured_(CursorAt(mesh.coloured, 0)), textured_(CursorAt(mesh.textured, 0)) {
        for (int chunk = 0; chunk < kMeshChunks; ++chunk) {
            mesh_.colouredTriangles[chunk] = 0;
            mesh_.texturedTriangles[chunk] = 0;
        }
    }

    // A cube that adds no vertices cannot fill a chunk, so only cubes with an exposed side come here.
    void AddCube(const CubeRecord& cube, unsigned exposedMask) {
        if (cube.textured == 0) {
            coloured_.next = WriteColouredFaces(coloured_.next, cube, exposedMask);
            if (coloured_.next > coloured_.closeAfter)
                coloured_ = CloseChunk(mesh_.coloured, mesh_.colouredTriangles, coloured_.next);
        } else if (cube.textured == 1) {
            textured_.next = WriteTexturedFaces(textured_.next, cube, exposedMask);
            if (textured_.next > textured_.closeAfter)
                textured_ = CloseChunk(mesh_.textured, mesh_.texturedTriangles, textured_.next);
        }
    }

    // A slot as face exposure marked it: the mask of an in-use cube, or a slot whose flags have to be read.
    void AddMarkedCube(const CubeRecord& cube, unsigned mark) {
        const unsigned exposedMask = mark == kMarkReadFlags ? ExposedMask(cube) : mark;
        if (exposedMask == 0)
            return;
        AddCube(cube, exposedMask);
        Extend(cube);
    }

    void Finish() {
        mesh_.lastColouredChunk = RecordTriangles(mesh_.coloured, mesh_.colouredTriangles, coloured_.next);
        mesh_.lastTexturedChunk = RecordTriangles(mesh_.textured, mesh_.texturedTriangles, textured_.next);
        mesh_.extent = Extent();
    }

private:
    // Starts empty as the lowest high and the highest low any cube can give, so that no cube needs a test of its own.
    void Extend(const CubeRecord& cube) {
        low_[0] = std::min(low_[0], cube.x);
        low_[1] = std::min(low_[1], cube.y);
        low_[2] = std::min(low_[2], cube.z);
        high_[0] = std::max(high_[0], cube.x);
        high_[1] = std::max(high_[1], cube.y);
        high_[2] = std::max(high_[2], cube.z);
    }

    MeshExtent Extent() const {
        MeshExtent extent;
        extent.any = low_[0] <= high_[0];
        for (int axis = 0; axis < 3; ++axis) {
            extent.low[axis] = low_[axis];
            extent.high[axis] = high_[axis] + 1.0f;  // a cube at cell c fills c to c + 1
        }
        return extent;
    }

    float low_[3] = {kEmptyLow, kEmptyLow, kEmptyLow};
    float high_[3] = {kEmptyHigh, kEmptyHigh, kEmptyHigh};
    CubeMesh& mesh_;
    StoreCursor<ColouredVertex> coloured_;
    StoreCursor<TexturedVertex> textured_;
};

}  // namespace

void BuildCubeMesh(const Scene& scene, CubeMesh& mesh) {
    MeshWriter writer(mesh);
    const int32_t last = scene.highestUsedSlot;
    for (int32_t slot = 0; slot <= last; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0 || !AnyExposed(cube))
            continue;
        writer.AddMarkedCube(cube, ExposedMask(cube));
    }
    writer.Finish();
}

// Face exposure and the mesh, a block of slots at a time: the records are still in the cache when their faces are
// written right after their flags. Face exposure marks every slot with the mask of its exposed sides, so hidden
// cubes are skipped sixteen at a time and flags are read back only for slots neither free nor in use.
void UpdateFaceExposureAndBuildMesh(Scene& scene, CubeMesh& mesh) {
    MeshWriter writer(mesh);
    uint8_t marks[kExposureMarkBytes] = {};
    const int32_t last = scene.highestUsedSlot;
    for (int32_t first = 0; first <= last; first += kExposureSlotBlock) {
        const int count = last - first >= kExposureSlotBlock ? kExposureSlotBlock : last + 1 - first;
        UpdateFaceExposureOfSlots(scene, first, first + count, marks);
#if defined(BLOKKENVELD_SSE2_MESH)
        // Sixteen marks per compare; a solid model's hidden cubes are skipped without a branch each.
        for (int group = 0; group < count; group += 16) {
            unsigned marked =
                0xFFFFu ^ static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(marks + group)), _mm_setzero_si128())));
            if (count - group < 16)
                marked &= (1u << (count - group)) - 1;
            for (; marked != 0; marked &= marked - 1) {
                const int k = group + LowestBit(marked);
                writer.AddMarkedCube(scene.cubes[first + k], marks[k]);
            }
        }
#else
        for (int k = 0; k < count; ++k) {
            if (marks[k] != 0)
                writer.AddMarkedCube(scene.cubes[first + k], marks[k]);
        }
#endif
    }
    writer.Finish();
}
