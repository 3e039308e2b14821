// Bitmaps: the decoder, the import as cubes and the texture checks on the same bytes; each ends in a result.
#include "files/bitmap.h"
#include "files/bitmap_import.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image;
    if (DecodeBitmap(data, size, image))
        FUZZ_CHECK(image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
    ImportedLayer layer;
    const ImportResult result = ParseImportBitmap(data, size, layer);
    FUZZ_CHECK(result >= kImportReadFailure && result <= kImportUnsupported);
    if (result == kImported) {
        FUZZ_CHECK(layer.width >= 0 && layer.width <= kMaxImportSide && layer.height >= 0 &&
                   layer.height <= kMaxImportSide);
        FUZZ_CHECK(layer.colours.size() == static_cast<size_t>(layer.width) * static_cast<size_t>(layer.height));
    }
    const TextureCheck check = CheckTextureBitmap(data, size);
    FUZZ_CHECK(check >= kTextureReadFailure && check <= kTextureWrongSize);
    return 0;
}
