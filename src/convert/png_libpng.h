// PNG files for the converter on systems with libpng.
#pragma once

#include "files/png_encoder.h"

class LibpngEncoder final : public PngEncoder {
public:
    bool Encode(const Image& image, std::vector<uint8_t>& out) override;
};
