// libpng writing into memory. The atlas is small and goes out with every export, so it is deflated at the
// fastest level without row filters: the export's time is spent on the model, not on the picture. Nothing
// that changes from run to run (no time stamp) is written, so the same atlas gives the same bytes every time.
#include "convert/png_libpng.h"

#include <png.h>

#include <csetjmp>

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void NoFlush(png_structp) {}

// Everything libpng touches lives in the caller's frame, made before setjmp: a longjmp out of libpng then skips
// no destructor.
bool Write(png_structp png, png_infop info, const Image& image, std::vector<uint8_t>& rgb, std::vector<uint8_t>& out) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(image.width) * 3;
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, &rgb[static_cast<size_t>(y) * stride]);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool LibpngEncoder::Encode(const Image& image, std::vector<uint8_t>& out) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return false;
    std::vector<uint8_t> rgb(image.pixels.size() * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        rgb[3 * i] = static_cast<uint8_t>(image.pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(image.pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(image.pixels[i]);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> bytes;
    bytes.reserve(rgb.size() / 2);
    const bool written = info != nullptr && Write(png, info, image, rgb, bytes);
    png_destroy_write_struct(&png, &info);
    if (!written)
        return false;
    out = std::move(bytes);
    return true;
}
