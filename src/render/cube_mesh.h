// The per-frame triangle lists of every exposed cube face, in chunks that one draw call each covers.
#pragma once

#include <cstdint>

#include "render/vertices.h"
#include "scene/scene.h"

constexpr int kMeshChunks = 10;
constexpr int kChunkVertices = 65536;
constexpr int kVerticesPerFace = 6;
constexpr int kVerticesPerCube = kVerticesPerFace * kSideCount;

// The box the cubes with a face drawn fill, in world units: the model's extent, as its outermost cubes always show a
// face. None when no face is drawn.
struct MeshExtent {
    bool any = false;
    float low[3] = {};
    float high[3] = {};
};

struct CubeMesh {
    ColouredVertex coloured[kMeshChunks][kChunkVertices];  // coloured cube faces
    int32_t colouredTriangles[kMeshChunks] = {};           // triangles in each coloured chunk
    int32_t lastColouredChunk = 0;                         // chunks 0..last are drawn
    TexturedVertex textured[kMeshChunks][kChunkVertices];  // textured cube faces
    int32_t texturedTriangles[kMeshChunks] = {};
    int32_t lastTexturedChunk = 0;
    MeshExtent extent;  // of the cubes written
};

// Rebuilds the whole mesh from the in-use slots 0..highestUsedSlot, using their face-exposed flags.
void BuildCubeMesh(const Scene& scene, CubeMesh& mesh);

// The per-frame scene work in one pass over the slots, a block at a time: the in-use cubes' face-exposed flags are
// set from the occupancy grid, then the block's exposed faces are written while its records are at hand. Flags and
// mesh come out exactly as UpdateFaceExposure followed by BuildCubeMesh leave them.
void UpdateFaceExposureAndBuildMesh(Scene& scene, CubeMesh& mesh);
