// The orbit camera: a target point seen from a distance at a yaw and a pitch, driven by polled
// mouse drags and keys every frame and by the wheel message.
#pragma once

#include <cstdint>

#include "math/math3d.h"

struct FrameInput;
struct Scene;

constexpr float kStartYaw = -4.1887898f;               // bits 0xC0860A91
constexpr float kStartPitch = 0.7853981f;              // bits 0x3F490FDA
constexpr float kPitchLimit = 1.5706962f;              // bits 0x3FC90C93, just short of straight up or down
constexpr double kPitchLimitTest = 1.570696251296997;  // the limit as the drag compares it
constexpr float kOrbitRadiansPerPixel = 0.01636246f;   // pi / 192, bits 0x3C860A91
constexpr float kStartDistance = 8.0f;
constexpr double kStartMasterZoom = 9.0;
constexpr double kMinZoom = 3.0;
constexpr double kMaxZoom = 166.0;
constexpr float kStartTarget = 100.5f;      // centre of the start cube on every axis
constexpr float kFieldOfView = 1.0471975f;  // the view's vertical field, radians; bits 0x3F860A91
constexpr float kNearPlane = 0.1f;          // the view's depth range, world units from the eye
constexpr float kFarPlane = 300.0f;

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct Camera {
    float yaw = kStartYaw;                 // turn of the eye about the target in the x-z plane; never wrapped
    float pitch = kStartPitch;             // elevation, kept within +-kPitchLimit
    float distance = kStartDistance;       // eye-to-target distance the view uses
    double masterZoom = kStartMasterZoom;  // what F, G and the wheel change and clamp
    float targetX = kStartTarget;
    float targetY = kStartTarget;
    float targetZ = kStartTarget;

    bool orbitActive = false;  // right-button drag in progress
    bool rightHeld = false;    // right button seen down while no orbit had started
    ScreenPoint orbitAnchor;   // screen point that pitch is measured from (moved at the limits)
    ScreenPoint orbitStart;    // screen point that yaw is measured from
    float yawAtOrbitStart = 0.0f;
    float pitchAtOrbitStart = 0.0f;
    bool panActive = false;  // middle-button drag in progress
    bool middleHeld = false;
    ScreenPoint panAnchor;  // cursor at the previous pan frame
};

// Step 2 of the frame update: orbit, arrow keys (unless arrowsTaken: Shift held with a selection moves it instead),
// F/G, pan, W/A/S/D (the letters not while Ctrl or Alt is held).
void CameraInputStep(Camera& camera, FrameInput& input, float frameTime, bool arrowsTaken = false);
// One call per wheel message; notches is the wheel delta / 120, truncated.
void WheelZoom(Camera& camera, int16_t notches);
void ResetCamera(Camera& camera);
// Turns the camera to the middle of the scene's cubes and sets the distance so that every cube is in a view of
// that width to height (aspect), as close as the zoom limits allow; the direction it looks from stays.
void FrameModel(Camera& camera, const Scene& scene, float aspect);
// Whether every cube of the scene lies wholly inside a view of that aspect as the camera stands (an empty scene does).
bool ModelInView(const Camera& camera, const Scene& scene, float aspect);
// Unit vector from the target towards the eye.
Vec3 EyeDirection(const Camera& camera);
Vec3 EyePosition(const Camera& camera);
