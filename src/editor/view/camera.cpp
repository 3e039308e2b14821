#include "editor/view/camera.h"

#include <algorithm>
#include <cmath>

#include "editor/platform.h"
#include "scene/scene.h"

namespace {

constexpr float kArrowTurnSpeed = 4.0f;  // radians per second
constexpr double kKeyZoomSpeed = 20.0;   // world units per second
constexpr float kPanPerPixel = 0.001f;   // times the distance
constexpr float kMoveSpeed = 400.0f;     // times the distance / 1000, per second
constexpr double kWheelStep = 2.0;
// A framed model spans at most this share of the view each way, keeping its outline off the view's edges.
constexpr double kFramedFill = 0.95;

double ClampZoom(double zoom) {
    if (zoom <= kMinZoom)
        return kMinZoom;
    if (zoom >= kMaxZoom)
        return kMaxZoom;
    return zoom;
}

void OrbitStep(Camera& camera, FrameInput& input) {
    if (input.KeyDown(kKeyRightButton)) {
        camera.rightHeld = true;
        if (!camera.orbitActive) {
            // A pan owns the mouse until its button is released.
            if (camera.middleHeld || camera.panActive)
                return;
            camera.orbitAnchor = input.CursorScreen();
            camera.orbitStart = camera.orbitAnchor;
            camera.orbitActive = true;
            camera.rightHeld = false;
        }
    }
    if (camera.orbitActive) {
        const ScreenPoint p = input.CursorScreen();
        const float newPitch =
            static_cast<float>(p.y - camera.orbitAnchor.y) * kOrbitRadiansPerPixel + camera.pitchAtOrbitStart;
        // Re-anchoring at a limit makes a reverse movement turn the camera back at once.
        if (static_cast<double>(newPitch) >= kPitchLimitTest) {
            camera.orbitAnchor = input.CursorScreen();
            camera.pitch = camera.pitchAtOrbitStart = kPitchLimit;
        } else if (static_cast<double>(newPitch) > -kPitchLimitTest) {
            camera.pitch = newPitch;
        } else {
            camera.orbitAnchor = input.CursorScreen();
            camera.pitch = camera.pitchAtOrbitStart = -kPitchLimit;
        }
        camera.yaw = camera.yawAtOrbitStart - static_cast<float>(p.x - camera.orbitStart.x) * kOrbitRadiansPerPixel;
    }
    if (!input.KeyDown(kKeyRightButton)) {
        camera.rightHeld = false;
        camera.orbitActive = false;
        // Every frame, so that the next orbit continues from wherever the keys left the camera.
        camera.yawAtOrbitStart = camera.yaw;
        camera.pitchAtOrbitStart = camera.pitch;
    }
}

void ArrowStep(Camera& camera, FrameInput& input, float frameTime) {
    const bool left = input.KeyDown(kKeyLeft);
    const bool right = input.KeyDown(kKeyRight);
    const bool up = input.KeyDown(kKeyUp);
    const bool down = input.KeyDown(kKeyDown);
    if (left)
        camera.yaw -= kArrowTurnSpeed * frameTime;
    if (right)
        camera.yaw += kArrowTurnSpeed * frameTime;
    if (up) {
        camera.pitch += kArrowTurnSpeed * frameTime;
        if (camera.pitch > kPitchLimit)
            camera.pitch = kPitchLimit;
    }
    if (down) {
        camera.pitch -= kArrowTurnSpeed * frameTime;
        if (camera.pitch < -kPitchLimit)
            camera.pitch = -kPitchLimit;
    }
}

void ZoomKeyStep(Camera& camera, FrameInput& input, float frameTime) {
    const bool zoomIn = input.KeyDown(kKeyG);
    const bool zoomOut = !zoomIn && input.KeyDown(kKeyF);
    if (zoomIn) {
        camera.masterZoom -= kKeyZoomSpeed * frameTime;
        if (camera.masterZoom <= kMinZoom)
            camera.masterZoom = kMinZoom;
    } else if (zoomOut) {
        camera.masterZoom += kKeyZoomSpeed * frameTime;
        if (camera.masterZoom >= kMaxZoom)
            camera.masterZoom = kMaxZoom;
    }
    if (zoomIn || zoomOut)
        camera.distance = static_cast<float>(camera.masterZoom);
}

void PanStep(Camera& camera, FrameInput& input) {
    if (input.KeyDown(kKeyMiddleButton)) {
        camera.middleHeld = true;
        if (!camera.panActive) {
            if (camera.rightHeld || camera.orbitActive)
                return;
            camera.panAnchor = input.CursorScreen();
            camera.panActive = true;
            camera.middleHeld = false;
        }
    }
    if (camera.panActive) {
        const ScreenPoint p = input.CursorScreen();
        const float dx = static_cast<float>(p.x - camera.panAnchor.x);
        const float dy = static_cast<float>(p.y - camera.panAnchor.y);
        const float scale = kPanPerPixel * camera.distance;
        const float sinYaw = std::sin(camera.yaw), cosYaw = std::cos(camera.yaw);
        const float sinPitch = std::sin(camera.pitch), cosPitch = std::cos(camera.pitch);
        camera.targetX += scale * (dx * sinYaw - dy * sinPitch * cosYaw);
        camera.targetY += scale * dy * cosPitch;
        camera.targetZ -= scale * (dx * cosYaw + dy * sinPitch * sinYaw);
        camera.panAnchor = input.CursorScreen();
    }
    if (!input.KeyDown(kKeyMiddleButton)) {
        camera.middleHeld = false;
        camera.panActive = false;
    }
}

void MoveStep(Camera& camera, FrameInput& input, float frameTime) {
    const bool a = input.KeyDown(kKeyA);
    const bool d = input.KeyDown(kKeyD);
    const bool w = input.KeyDown(kKeyW);
    const bool s = input.KeyDown(kKeyS);
    const float k = kMoveSpeed * frameTime * camera.distance * kPanPerPixel;
    const float sinYaw = std::sin(camera.yaw), cosYaw = std::cos(camera.yaw);
    const float sinPitch = std::sin(camera.pitch), cosPitch = std::cos(camera.pitch);
    if (a) {
        camera.targetX -= k * sinYaw;
        camera.targetZ += k * cosYaw;
    }
    if (d) {
        camera.targetX += k * sinYaw;
        camera.targetZ -= k * cosYaw;
    }
    if (w) {
        camera.targetX += k * sinPitch * cosYaw;
        camera.targetY -= k * cosPitch;
        camera.targetZ += k * sinPitch * sinYaw;
    }
    if (s) {
        camera.targetX -= k * sinPitch * cosYaw;
        camera.targetY += k * cosPitch;
        camera.targetZ -= k * sinPitch * sinYaw;
    }
}

}  // namespace

void CameraInputStep(Camera& camera, FrameInput& input, float frameTime, bool arrowsTaken) {
    // With Alt held the letters open menus (Alt+F is the File menu), with Ctrl they are the program's shortcuts
    // (Ctrl+S, Ctrl+A): the view must not zoom or move under them.
    const bool keys = !input.KeyDown(kKeyAlt);
    const bool letters = keys && !input.KeyDown(kKeyControl);
    OrbitStep(camera, input);
    if (keys && !arrowsTaken)
        ArrowStep(camera, input, frameTime);
    if (letters)
        ZoomKeyStep(camera, input, frameTime);
    PanStep(camera, input);
    if (letters)
        MoveStep(camera, input, frameTime);
}

void WheelZoom(Camera& camera, int16_t notches) {
    camera.masterZoom = ClampZoom(camera.masterZoom - kWheelStep * notches);
    camera.distance = static_cast<float>(camera.masterZoom);
}

void ResetCamera(Camera& camera) {
    camera.yaw = kStartYaw;
    camera.pitch = kStartPitch;
    camera.distance = kStartDistance;
    camera.targetX = camera.targetY = camera.targetZ = kStartTarget;
    camera.masterZoom = kStartMasterZoom;
}

Vec3 EyeDirection(const Camera& camera) {
    const float cosPitch = std::cos(camera.pitch);
    return {std::cos(camera.yaw) * cosPitch, std::sin(camera.pitch), std::sin(camera.yaw) * cosPitch};
}

Vec3 EyePosition(const Camera& camera) {
    const Vec3 d = EyeDirection(camera);
    return {camera.targetX + camera.distance * d.x, camera.targetY + camera.distance * d.y,
            camera.targetZ + camera.distance * d.z};
}

namespace {

// The view's axes from the direction the camera keeps, as the view matrix makes them.
struct ViewAxes {
    Vec3 forward, right, up;
};

ViewAxes AxesOf(const Camera& camera) {
    ViewAxes axes;
    axes.forward = Vec3Scale(EyeDirection(camera), -1.0f);
    axes.right = Vec3Normalize(Vec3Cross({0.0f, 1.0f, 0.0f}, axes.forward));
    axes.up = Vec3Cross(axes.forward, axes.right);
    return axes;
}

// A corner of the box from low to high: bit 0 picks x's end, bit 1 y's, bit 2 z's.
Vec3 BoxCorner(const float (&low)[3], const float (&high)[3], int corner) {
    return {corner & 1 ? high[0] : low[0], corner & 2 ? high[1] : low[1], corner & 4 ? high[2] : low[2]};
}

}  // namespace

void FrameModel(Camera& camera, const Scene& scene, float aspect) {
    float low[3], high[3];
    if (!SceneExtent(scene, low, high))
        return;
    camera.targetX = (low[0] + high[0]) * 0.5f;
    camera.targetY = (low[1] + high[1]) * 0.5f;
    camera.targetZ = (low[2] + high[2]) * 0.5f;
    const ViewAxes axes = AxesOf(camera);
    const double tanVertical = kFramedFill * std::tan(0.5 * static_cast<double>(kFieldOfView));
    const double tanHorizontal = tanVertical * aspect;
    // The nearest eye from which every corner of the model's box lies inside the view. The near plane needs no test
    // of its own: the box's other corners always keep the eye further back than its nearest corner does.
    double distance = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3 offset = {(corner & 1 ? 0.5f : -0.5f) * (high[0] - low[0]),
                             (corner & 2 ? 0.5f : -0.5f) * (high[1] - low[1]),
                             (corner & 4 ? 0.5f : -0.5f) * (high[2] - low[2])};
        const double along = Vec3Dot(offset, axes.forward);
        const double across = std::fabs(Vec3Dot(offset, axes.right)) / tanHorizontal;
        const double upward = std::fabs(Vec3Dot(offset, axes.up)) / tanVertical;
        distance = std::max({distance, across - along, upward - along});
    }
    camera.masterZoom = std::min(std::max(distance, kMinZoom), kMaxZoom);
    camera.distance = static_cast<float>(camera.masterZoom);
}

bool ModelInView(const Camera& camera, const Scene& scene, float aspect) {
    float low[3], high[3];
    if (!SceneExtent(scene, low, high))
        return true;
    const ViewAxes axes = AxesOf(camera);
    const double tanVertical = std::tan(0.5 * static_cast<double>(kFieldOfView));
    const double tanHorizontal = tanVertical * aspect;
    const Vec3 eye = EyePosition(camera);
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3 offset = Vec3Subtract(BoxCorner(low, high, corner), eye);
        const double depth = Vec3Dot(offset, axes.forward);
        if (depth <= kNearPlane || depth >= kFarPlane ||
            std::fabs(Vec3Dot(offset, axes.right)) > depth * tanHorizontal ||
            std::fabs(Vec3Dot(offset, axes.up)) > depth * tanVertical)
            return false;
    }
    return true;
}
