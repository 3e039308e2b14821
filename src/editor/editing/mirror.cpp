#include "editor/editing/mirror.h"

#include <algorithm>

#include "render/cube_mesh.h"
#include "scene/scene.h"

namespace {

int32_t& Coordinate(Cell& cell, int axis) {
    return axis == 0 ? cell.x : axis == 1 ? cell.y : cell.z;
}

bool InGrid(const Cell& cell) {
    return Scene::InGrid(cell.x, cell.y, cell.z);
}

// The box cut to the grid; false when nothing of it is left.
bool ClipToGrid(CellBox& box) {
    for (int axis = 0; axis < 3; ++axis) {
        int32_t& low = Coordinate(box.low, axis);
        int32_t& high = Coordinate(box.high, axis);
        low = std::max(low, 0);
        high = std::min(high, kGridSize - 1);
        if (low > high)
            return false;
    }
    return true;
}

bool SameBox(const CellBox& a, const CellBox& b) {
    return a.low == b.low && a.high == b.high;
}

// Where a plane lies in world units: cell c covers c to c + 1, so both kinds of plane lie at (sum + 1) / 2.
float PlaneAt(int32_t sum) {
    return (static_cast<float>(sum) + 1.0f) * 0.5f;
}

void AddLine(GuideLines& lines, const float (&from)[3], const float (&to)[3]) {
    if (2 * lines.lineCount + 2 > kMaxGuidePoints)
        return;
    std::copy(from, from + 3, lines.points[2 * lines.lineCount]);
    std::copy(to, to + 3, lines.points[2 * lines.lineCount + 1]);
    ++lines.lineCount;
}

// The twelve edges of a box whose corners are low and high (world units).
void AddBoxOutline(GuideLines& lines, const float (&low)[3], const float (&high)[3]) {
    for (int axis = 0; axis < 3; ++axis) {
        const int b = (axis + 1) % 3, c = (axis + 2) % 3;
        for (int corner = 0; corner < 4; ++corner) {
            float from[3], to[3];
            from[axis] = low[axis];
            to[axis] = high[axis];
            from[b] = to[b] = (corner & 1) ? high[b] : low[b];
            from[c] = to[c] = (corner & 2) ? high[c] : low[c];
            AddLine(lines, from, to);
        }
    }
}

// The outline of a box of cells: from its low cell's low corner to its high cell's high corner.
void AddCellBoxOutline(GuideLines& lines, const CellBox& box) {
    const float low[3] = {static_cast<float>(box.low.x), static_cast<float>(box.low.y), static_cast<float>(box.low.z)};
    const float high[3] = {static_cast<float>(box.high.x + 1), static_cast<float>(box.high.y + 1),
                           static_cast<float>(box.high.z + 1)};
    AddBoxOutline(lines, low, high);
}

}  // namespace

CellBox BoxBetween(const Cell& a, const Cell& b) {
    return CellBox{{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)},
                   {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}};
}

int MirrorImages(const MirrorState& mirror, const Cell& cell, Cell (&out)[kMaxMirrorImages]) {
    int count = 0;
    out[count++] = cell;
    for (int axis = 0; axis < 3; ++axis) {
        if (!mirror.on[axis])
            continue;
        const int before = count;
        for (int i = 0; i < before; ++i) {
            Cell image = out[i];
            Coordinate(image, axis) = mirror.sum[axis] - Coordinate(image, axis);
            if (!(image == out[i]) && InGrid(image))
                out[count++] = image;
        }
    }
    return count;
}

int MirrorBoxes(const MirrorState& mirror, const CellBox& box, CellBox (&out)[kMaxMirrorImages]) {
    int count = 0;
    out[count++] = box;
    for (int axis = 0; axis < 3; ++axis) {
        if (!mirror.on[axis])
            continue;
        const int before = count;
        for (int i = 0; i < before; ++i) {
            CellBox image = out[i];
            Coordinate(image.low, axis) = mirror.sum[axis] - Coordinate(out[i].high, axis);
            Coordinate(image.high, axis) = mirror.sum[axis] - Coordinate(out[i].low, axis);
            if (!SameBox(image, out[i]) && ClipToGrid(image))
                out[count++] = image;
        }
    }
    return count;
}

void CentreMirrorOn(MirrorState& mirror, const Cell& cube) {
    mirror.sum[0] = 2 * cube.x;
    mirror.sum[1] = 2 * cube.y;
    mirror.sum[2] = 2 * cube.z;
}

void CentreMirrorOnModel(MirrorState& mirror, const Scene& scene) {
    float low[3], high[3];
    if (!SceneExtent(scene, low, high))
        return;
    // The extent runs from the lowest cell's low side to the highest cell's high side, one beyond its cell.
    for (int axis = 0; axis < 3; ++axis)
        mirror.sum[axis] = static_cast<int32_t>(low[axis]) + static_cast<int32_t>(high[axis]) - 1;
}

void MirrorAlongFace(MirrorState& mirror, const Cell& cube, int side) {
    Cell here = cube;
    for (int axis = 0; axis < 3; ++axis) {
        const int step = kSideOffset[side][axis];
        if (step == 0)
            continue;
        // The face between the cube's cell c and its neighbour c + step: the sum of the two.
        mirror.sum[axis] = 2 * Coordinate(here, axis) + step;
        mirror.on[axis] = true;
    }
}

void MakeGuideLines(const MirrorState& mirror, const MeshExtent& model, const CellBox* box, GuideLines& lines) {
    lines.lineCount = 0;
    if (mirror.Any()) {
        // The model's extent, a cell beyond it on every side, and the planes' centre inside it.
        float low[3], high[3];
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = model.any ? model.low[axis] - 1.0f : kGridSize;
            high[axis] = model.any ? model.high[axis] + 1.0f : 0.0f;
        }
        float centre[3];
        for (int axis = 0; axis < 3; ++axis) {
            centre[axis] = PlaneAt(mirror.sum[axis]);
            low[axis] = std::min(low[axis], centre[axis] - 1.0f);
            high[axis] = std::max(high[axis], centre[axis] + 1.0f);
        }
        for (int axis = 0; axis < 3; ++axis) {
            if (!mirror.on[axis])
                continue;
            float planeLow[3] = {low[0], low[1], low[2]}, planeHigh[3] = {high[0], high[1], high[2]};
            planeLow[axis] = planeHigh[axis] = centre[axis];
            // The outline: a flat box has its edges twice over; its four edges in the plane are enough.
            const int b = (axis + 1) % 3, c = (axis + 2) % 3;
            for (int edge = 0; edge < 4; ++edge) {
                float from[3], to[3];
                from[axis] = to[axis] = centre[axis];
                const int along = (edge & 1) ? b : c, across = (edge & 1) ? c : b;
                from[along] = planeLow[along];
                to[along] = planeHigh[along];
                from[across] = to[across] = (edge & 2) ? planeHigh[across] : planeLow[across];
                AddLine(lines, from, to);
            }
            for (const int along : {b, c}) {
                float from[3] = {centre[0], centre[1], centre[2]}, to[3] = {centre[0], centre[1], centre[2]};
                from[along] = planeLow[along];
                to[along] = planeHigh[along];
                AddLine(lines, from, to);
            }
        }
    }
    if (box != nullptr) {
        CellBox boxes[kMaxMirrorImages];
        const int count = MirrorBoxes(mirror, *box, boxes);
        for (int i = 0; i < count; ++i)
            AddCellBoxOutline(lines, boxes[i]);
    }
}

void MakeBoxLines(const CellBox* boxes, int count, GuideLines& lines) {
    lines.lineCount = 0;
    for (int i = 0; i < count; ++i)
        AddCellBoxOutline(lines, boxes[i]);
}
