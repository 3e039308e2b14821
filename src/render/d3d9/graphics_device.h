// The one Direct3D 9 device of the process, the fixed render states, projection, view and light.
#pragma once

#include "render/d3d9/win32.h"

#include <d3d9.h>

#include <cstdint>

#include "math/math3d.h"

struct Image;

class GraphicsDevice {
public:
    // Makes the Direct3D object and a windowed device of the client size: HAL with hardware vertex
    // processing, else HAL with software vertex processing, else the reference device.
    bool Create(HWND window, int16_t width, int16_t height);
    void SetFixedRenderStates();
    // The projection the editor's pick also uses (SetViewSize).
    void SetProjection(const Matrix& projection);
    void SetView(float eyeX, float eyeY, float eyeZ, float atX, float atY, float atZ);
    void SetViewLight(float dirX, float dirY, float dirZ);
    // Releases the device, then the Direct3D object; safe to call repeatedly.
    void Release();

    static IDirect3DDevice9* Device() { return device_; }
    static Matrix CurrentProjection() { return projection_; }
    static Matrix CurrentView() { return view_; }
    static void ReleaseDevice();

private:
    IDirect3D9* direct3d_ = nullptr;
    static IDirect3DDevice9* device_;
    static Matrix projection_;
    static Matrix view_;
};

extern GraphicsDevice gGraphicsDevice;

// Makes the text font, the panel texture and its sprites, and the atlas texture from the atlas pixels the
// editor keeps; false when the font, the panel texture or the sprites cannot be made (no atlas is no error).
bool LoadGraphicsResources(const Image& atlas);
// Releases the atlas, the sprites and panel texture, the font, and then the device itself.
void ReleaseGraphicsResources();
// Makes the atlas texture again from new pixels (none: no atlas); nothing while there is no device.
void MakeAtlasTexture(const Image& atlas);
// Makes the panel texture and its sprites again, in the program's language; true while there is no device.
bool MakePanelTexture();

// The next frame drawn is kept, taken from the back buffer before it is presented.
void CaptureNextFrame();
// The kept frame, once; false when none was taken.
bool TakeCapturedFrame(Image& image);

class Renderer;
// The core's drawing interface, backed by the device; the window is measured for the status strip.
Renderer& DeviceRenderer(HWND window);
