// Mirror editing and box strokes: the planes an edit is mirrored in, the cells an edit acts on, and the box a Shift
// drag spans. Plain data and arithmetic on grid cells; the tools carry the edits out.
#pragma once

#include <cstdint>

#include "scene/scene.h"

struct MeshExtent;

// A box of cells, both corners included.
struct CellBox {
    Cell low, high;
    bool Contains(const Cell& cell) const {
        return cell.x >= low.x && cell.x <= high.x && cell.y >= low.y && cell.y <= high.y && cell.z >= low.z &&
               cell.z <= high.z;
    }
    int64_t Volume() const {
        return int64_t{high.x - low.x + 1} * (high.y - low.y + 1) * (high.z - low.z + 1);
    }
};

// The box spanned by two cells, whichever way round.
CellBox BoxBetween(const Cell& a, const Cell& b);

// For each axis: whether edits are mirrored in its plane, and the plane as the sum of a cell and its image (a cell c
// is mirrored to sum - c): 2m runs through the middle of cell m, 2m + 1 along the face between cells m and m + 1.
struct MirrorState {
    bool on[3] = {false, false, false};
    int32_t sum[3] = {200, 200, 200};  // through the middle of the start cube, cell 100

    bool Any() const { return on[0] || on[1] || on[2]; }
};

constexpr int kMaxMirrorImages = 8;

// The cell and its images in every combination of the planes switched on, the cell itself first, each only once
// (a cell on an odd plane is its own image there). Images outside the grid are left out. Returns how many.
int MirrorImages(const MirrorState& mirror, const Cell& cell, Cell (&out)[kMaxMirrorImages]);
// The same for a box: the box itself first, then its images (clipped to the grid), each box once.
int MirrorBoxes(const MirrorState& mirror, const CellBox& box, CellBox (&out)[kMaxMirrorImages]);

// Every plane through the middle of a cube's cell: the cube becomes the planes' centre.
void CentreMirrorOn(MirrorState& mirror, const Cell& cube);
// Every plane through the middle of the model's extent on its axis: through a cell's middle where the extent spans
// an odd number of cells, along a face where it spans an even number. An empty scene leaves the planes.
void CentreMirrorOnModel(MirrorState& mirror, const Scene& scene);
// The plane of the axis a face looks along laid on that face (side numbers of the scene); the axis is switched on.
void MirrorAlongFace(MirrorState& mirror, const Cell& cube, int side);

// Guide lines the view shows: the planes switched on, over the model's extent, and the box of a Shift drag with its
// images. Pairs of points in world units.
constexpr int kMaxGuidePoints = 2 * (3 * 6 + kMaxMirrorImages * 12);
struct GuideLines {
    float points[kMaxGuidePoints][3];
    int32_t lineCount = 0;
};

// Fills lines with the outlines of count boxes of cells.
void MakeBoxLines(const CellBox* boxes, int count, GuideLines& lines);
// Fills lines for the planes switched on (each an outline over the model's extent, as the mesh last drawn has it,
// and a cross through the centre) and, when box is not null, the outlines of the box and its images.
void MakeGuideLines(const MirrorState& mirror, const MeshExtent& model, const CellBox* box, GuideLines& lines);
