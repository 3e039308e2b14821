#include "editor/view/pick.h"

#include "editor/view/camera.h"

#include <cmath>
#include <utility>

namespace {

// A face can only be hit where the line passes within half a cube diagonal of the cube's centre; the margin
// covers the rounding of the face tests, which grows with the distance from the ray start.
constexpr float kReachSquared = 0.8761f * 0.8761f;
constexpr float kReachGrowth = 1e-9f;
// How far outside a face's square the line may pass and still reach the face tests: well above the rounding of
// the intersection, well below anything a user could aim at.
constexpr float kFaceTolerance = 1e-3f;

// The nearest rule, for one candidate in slot and side order. A candidate closer than 1.5 to the ray start
// is taken but never held, so a later, farther candidate replaces it.
void Consider(PickState& state, int32_t slot, int side, float distance) {
    if (!state.held) {
        state = {distance > kNearPickLimit, slot, side, distance};
    } else if (distance < state.distance) {
        state.slot = slot;
        state.side = side;
        state.distance = distance;
        if (distance < kNearPickLimit)
            state.held = false;
    }
}

// The facing, plane and inside tests of one side; on success, the distance of the intersection. The facing
// test comes first only because it is the cheapest: every test must pass.
bool HitsSide(const CubeRecord& cube, int side, const PickRay& ray, float& distance) {
    Vec3 p[4];
    for (int i = 0; i < 4; ++i) {
        p[i] = {cube.x + static_cast<float>(kSideCorners[side][i][0]),
                cube.y + static_cast<float>(kSideCorners[side][i][1]),
                cube.z + static_cast<float>(kSideCorners[side][i][2])};
    }
    // Only faces turned towards the viewer.
    const Vec3 normal = Vec3Cross(Vec3Subtract(p[0], p[2]), Vec3Subtract(p[1], p[2]));
    if (!(Vec3Dot(normal, Vec3Subtract(p[0], ray.start)) < 0.0f))
        return false;
    Vec3 h;
    if (!PlaneIntersectLine(PlaneFromPoints(p[0], p[1], p[2]), ray.start, ray.end, h))
        return false;
    // The triangle tests below also pass wherever the line meets the face's plane exactly on the infinite
    // extension of its diagonal or of its first edge (a cross product of two parallel vectors is zero), however
    // far from the face that is. A face the line does not reach is never hit.
    if (!(h.x >= cube.x - kFaceTolerance && h.x <= cube.x + 1.0f + kFaceTolerance && h.y >= cube.y - kFaceTolerance &&
          h.y <= cube.y + 1.0f + kFaceTolerance && h.z >= cube.z - kFaceTolerance &&
          h.z <= cube.z + 1.0f + kFaceTolerance))
        return false;
    const Vec3 e1 = Vec3Subtract(p[0], h);
    const Vec3 e2 = Vec3Subtract(p[1], h);
    const Vec3 e3 = Vec3Subtract(p[2], h);
    const Vec3 e4 = Vec3Subtract(p[3], h);
    // In triangle P1 P2 P3, or in triangle P1 P3 P4.
    const Vec3 c13 = Vec3Cross(e1, e3);
    bool inside = Vec3Dot(Vec3Cross(e2, e1), c13) >= 0.0f && Vec3Dot(Vec3Cross(e3, e2), c13) >= 0.0f;
    if (!inside) {
        const Vec3 c14 = Vec3Cross(e1, e4);
        inside = Vec3Dot(Vec3Cross(e4, e3), c14) >= 0.0f && Vec3Dot(Vec3Cross(e3, e1), c14) >= 0.0f;
    }
    if (!inside)
        return false;
    distance = Vec3Length(Vec3Subtract(ray.start, h));
    return true;
}

// Whether the line (start s, unit direction d) passes through the cube's box grown by a margin: the slab test.
bool LineNearBox(const CubeRecord& cube, const double (&s)[3], const double (&d)[3]) {
    constexpr double kMargin = 4e-3;
    const double low[3] = {cube.x - kMargin, cube.y - kMargin, cube.z - kMargin};
    double enter = -1e300, leave = 1e300;
    for (int axis = 0; axis < 3; ++axis) {
        const double high = low[axis] + 1.0 + 2 * kMargin;
        if (d[axis] == 0.0) {
            if (s[axis] < low[axis] || s[axis] > high)
                return false;
            continue;
        }
        double t0 = (low[axis] - s[axis]) / d[axis], t1 = (high - s[axis]) / d[axis];
        if (t0 > t1)
            std::swap(t0, t1);
        enter = t0 > enter ? t0 : enter;
        leave = t1 < leave ? t1 : leave;
    }
    // Not "enter > leave", so that a position that is not a number keeps the cube.
    return !(enter > leave);
}

void ConsiderCube(const Scene& scene, int32_t slot, const PickRay& ray, PickState& state) {
    for (int side = 0; side < kSideCount; ++side) {
        float distance;
        if (HitsSide(scene.cubes[slot], side, ray, distance))
            Consider(state, slot, side, distance);
    }
}

}  // namespace

void SetViewSize(ViewTransforms& transforms, int32_t width, int32_t height) {
    transforms.projection = MatrixPerspectiveFovLH(kFieldOfView, static_cast<float>(width) / static_cast<float>(height),
                                                   kNearPlane, kFarPlane);
    transforms.viewport = {0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0.0f, 1.0f};
}

PickRay MakePickRay(int32_t cursorX, int32_t cursorY, const ViewTransforms& transforms) {
    const Matrix world = MatrixIdentity();
    const float x = static_cast<float>(cursorX);
    const float y = static_cast<float>(cursorY);
    return {Vec3Unproject({x, y, 0.0f}, transforms.viewport, transforms.projection, transforms.view, world),
            Vec3Unproject({x, y, 1.0f}, transforms.viewport, transforms.projection, transforms.view, world)};
}

PickState PickEveryCube(const Scene& scene, const PickRay& ray) {
    PickState state;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        if (scene.cubes[slot].inUse == 1)
            ConsiderCube(scene, slot, ray, state);
    }
    return state;
}

PickState Pick(const Scene& scene, const PickRay& ray) {
    PickState state;
    double d[3] = {static_cast<double>(ray.end.x) - ray.start.x, static_cast<double>(ray.end.y) - ray.start.y,
                   static_cast<double>(ray.end.z) - ray.start.z};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    // No line (or no number): no plane meets it, and so no side is a candidate.
    if (!(length > 0.0) || !std::isfinite(length))
        return state;
    for (double& c : d)
        c /= length;
    const double s[3] = {ray.start.x, ray.start.y, ray.start.z};
    const float sx = ray.start.x, sy = ray.start.y, sz = ray.start.z;
    const float dx = static_cast<float>(d[0]), dy = static_cast<float>(d[1]), dz = static_cast<float>(d[2]);
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse != 1)
            continue;
        // The squared distance of the cube's centre from the line, as |v x d|^2: no cancellation near the line.
        const float vx = cube.x + 0.5f - sx, vy = cube.y + 0.5f - sy, vz = cube.z + 0.5f - sz;
        const float cx = vy * dz - vz * dy, cy = vz * dx - vx * dz, cz = vx * dy - vy * dx;
        const float squared = vx * vx + vy * vy + vz * vz;
        // Written so that a position that is not a number keeps the cube.
        if (cx * cx + cy * cy + cz * cz > kReachSquared + kReachGrowth * squared)
            continue;
        if (!LineNearBox(cube, s, d))
            continue;
        ConsiderCube(scene, slot, ray, state);
    }
    return state;
}
