// PNG files through the Windows Imaging Component, for the Windows program and the Windows converter.
#pragma once

#include "files/png_encoder.h"

class WicPngEncoder final : public PngEncoder {
public:
    bool Encode(const Image& image, std::vector<uint8_t>& out) override;
};
