// The Windows Imaging Component's PNG encoder writing into a memory stream. COM is initialised for the call
// (the program has done so already; the converter has not), and every interface is released on every path.
#include "win/png_wic.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <wincodec.h>

namespace {

template <typename T>
class ComRef {
public:
    ~ComRef() {
        if (p_ != nullptr)
            p_->Release();
    }
    T** operator&() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

bool EncodeInto(IStream* stream, const Image& image) {
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, &options)) || FAILED(frame->Initialize(options.get())) ||
        FAILED(frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height))))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return false;
    const UINT stride = (static_cast<UINT>(image.width) * 3 + 3) / 4 * 4;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * static_cast<size_t>(image.height), 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t pixel = image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) + x];
            BYTE* bgr = &rows[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
            bgr[0] = static_cast<BYTE>(pixel);
            bgr[1] = static_cast<BYTE>(pixel >> 8);
            bgr[2] = static_cast<BYTE>(pixel >> 16);
        }
    }
    return SUCCEEDED(frame->WritePixels(static_cast<UINT>(image.height), stride, static_cast<UINT>(rows.size()),
                                        rows.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool WicPngEncoder::Encode(const Image& image, std::vector<uint8_t>& out) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return false;
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool encoded = false;
    {
        ComRef<IStream> stream;
        HGLOBAL memory = nullptr;
        if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) && EncodeInto(stream.get(), image) &&
            SUCCEEDED(GetHGlobalFromStream(stream.get(), &memory))) {
            STATSTG status{};
            const void* bytes = GlobalLock(memory);
            if (bytes != nullptr && SUCCEEDED(stream->Stat(&status, STATFLAG_NONAME))) {
                const auto* begin = static_cast<const uint8_t*>(bytes);
                out.assign(begin, begin + status.cbSize.QuadPart);
                encoded = true;
            }
            if (bytes != nullptr)
                GlobalUnlock(memory);
        }
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    return encoded;
}
