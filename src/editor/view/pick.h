// Which cube face is under the cursor: the pick ray, the tests every cube side goes through, and the
// nearest-face rule with its 1.5-unit threshold near the eye.
#pragma once

#include <cstdint>

#include "math/math3d.h"
#include "scene/scene.h"

// The transforms the last frame was drawn with; the pick unprojects the cursor through them.
struct ViewTransforms {
    Matrix projection;
    Matrix view;
    Viewport viewport;
};

// Projection and viewport for a client area of width x height pixels.
void SetViewSize(ViewTransforms& transforms, int32_t width, int32_t height);

// The line through the cursor at the near and the far plane.
struct PickRay {
    Vec3 start;
    Vec3 end;
};

PickRay MakePickRay(int32_t cursorX, int32_t cursorY, const ViewTransforms& transforms);

// A face accepted as the click's target; only a held hit is edited.
struct PickState {
    bool held = false;
    int32_t slot = 0;
    int32_t side = 0;
    float distance = 0.0f;  // from the ray start to where the line meets the face
};

// Intersections nearer to the ray start than this never become the held hit.
constexpr float kNearPickLimit = 1.5f;

// Every side of every in-use cube, in slot and side order, through the plane, inside, facing and nearest
// tests. The reference the fast pick is checked against.
PickState PickEveryCube(const Scene& scene, const PickRay& ray);
// The same result, visiting only the cubes that pass close enough to the line for one of their faces to be
// hit; every other cube has no side that the tests could accept.
PickState Pick(const Scene& scene, const PickRay& ray);
