// Palette files: any input is read or refused without harm, and what is read writes back and reads the same.
#include "files/palette_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t palette[kPaletteColours] = {};
    if (!ParsePaletteText(data, size, palette))
        return 0;
    const std::string text = PaletteText(palette);
    uint32_t again[kPaletteColours] = {};
    FUZZ_CHECK(ParsePaletteText(reinterpret_cast<const uint8_t*>(text.data()), text.size(), again));
    FUZZ_CHECK(std::memcmp(palette, again, sizeof(palette)) == 0);
    return 0;
}
