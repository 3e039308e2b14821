// libpng's simplified writing interface: it sets up the whole encoder from one image description, and writes
// nothing that changes from run to run (no time stamp), so the same atlas gives the same bytes every time.
#include "convert/png_libpng.h"

#include <png.h>

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
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    description.width = static_cast<png_uint_32>(image.width);
    description.height = static_cast<png_uint_32>(image.height);
    description.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    // The first call measures, the second writes.
    if (!png_image_write_to_memory(&description, nullptr, &size, 0, rgb.data(), 0, nullptr) || size == 0) {
        png_image_free(&description);
        return false;
    }
    std::vector<uint8_t> bytes(size);
    const bool written = png_image_write_to_memory(&description, bytes.data(), &size, 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&description);
    if (!written)
        return false;
    bytes.resize(size);
    out = std::move(bytes);
    return true;
}
