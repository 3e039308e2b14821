// PNG files come from the system's own encoder (the Windows Imaging Component in the program, a library in
// the converter); the exports only ask for the bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "files/bitmap.h"

class PngEncoder {
public:
    virtual ~PngEncoder() = default;
    // A complete 8-bit RGB PNG file of the image (alpha dropped) into out; false when it cannot be made.
    virtual bool Encode(const Image& image, std::vector<uint8_t>& out) = 0;
};
