#include "render/d3d9/graphics_device.h"

#include <cstring>

IDirect3DDevice9* GraphicsDevice::device_ = nullptr;
Matrix GraphicsDevice::projection_ = {};
Matrix GraphicsDevice::view_ = {};

namespace {

D3DMATRIX ToD3D(const Matrix& m) {
    D3DMATRIX out;
    std::memcpy(&out, &m, sizeof(out));
    return out;
}

}  // namespace

bool GraphicsDevice::Create(HWND window, int16_t width, int16_t height) {
    direct3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    if (direct3d_ == nullptr)
        return false;
    D3DDISPLAYMODE mode;
    if (FAILED(direct3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
        return false;
    D3DPRESENT_PARAMETERS params;
    std::memset(&params, 0, sizeof(params));
    params.BackBufferWidth = static_cast<UINT>(width);
    params.BackBufferHeight = static_cast<UINT>(height);
    params.BackBufferFormat = mode.Format;
    params.BackBufferCount = 1;
    params.MultiSampleType = D3DMULTISAMPLE_NONE;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D16;
    params.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;

    const struct {
        D3DDEVTYPE type;
        DWORD behaviour;
    } attempts[] = {{D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
                    {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
                    {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING}};
    for (const auto& attempt : attempts) {
        IDirect3DDevice9* device = nullptr;
        D3DPRESENT_PARAMETERS tried = params;
        if (SUCCEEDED(direct3d_->CreateDevice(D3DADAPTER_DEFAULT, attempt.type, window, attempt.behaviour, &tried,
                                              &device))) {
            device_ = device;
            return true;
        }
    }
    return false;
}

void GraphicsDevice::SetFixedRenderStates() {
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
}

void GraphicsDevice::SetProjection(const Matrix& projection) {
    projection_ = projection;
    const D3DMATRIX m = ToD3D(projection_);
    device_->SetTransform(D3DTS_PROJECTION, &m);
}

void GraphicsDevice::SetView(float eyeX, float eyeY, float eyeZ, float atX, float atY, float atZ) {
    view_ = MatrixLookAtLH({eyeX, eyeY, eyeZ}, {atX, atY, atZ}, {0.0f, 1.0f, 0.0f});
    const D3DMATRIX m = ToD3D(view_);
    device_->SetTransform(D3DTS_VIEW, &m);
}

void GraphicsDevice::SetViewLight(float dirX, float dirY, float dirZ) {
    D3DLIGHT9 light;
    std::memset(&light, 0, sizeof(light));
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse.r = light.Diffuse.g = light.Diffuse.b = 1.0f;
    const Vec3 direction = Vec3Normalize({dirX, dirY, dirZ});
    light.Direction.x = direction.x;
    light.Direction.y = direction.y;
    light.Direction.z = direction.z;
    device_->SetLight(0, &light);
    device_->LightEnable(0, TRUE);
    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    device_->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
}

void GraphicsDevice::ReleaseDevice() {
    if (device_ != nullptr) {
        device_->Release();
        device_ = nullptr;
    }
}

void GraphicsDevice::Release() {
    ReleaseDevice();
    if (direct3d_ != nullptr) {
        direct3d_->Release();
        direct3d_ = nullptr;
    }
}
