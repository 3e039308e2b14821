#include "editor/panels/panel_artwork.h"

namespace {

struct PanelFile {
    Language language;
    const char* name;
};

// The first row is the fallback: the Japanese panel.
constexpr PanelFile kPanelFiles[] = {
    {Language::Japanese, "panel.bmp"},
    {Language::English, "panel_en.bmp"},
};

}  // namespace

const char* PanelFileOf(Language language) {
    for (const PanelFile& file : kPanelFiles) {
        if (file.language == language)
            return file.name;
    }
    return kPanelFiles[0].name;
}

bool ReadPanelArtwork(Language language, const PanelReader& read, Image& image, PanelFallbackNotice* notice) {
    if (notice != nullptr)
        notice->tellNow = false;
    if (language == Language::Japanese)
        return read(language, image);
    if (read(language, image))
        return true;
    if (!read(Language::Japanese, image))
        return false;
    if (notice != nullptr && !notice->told)
        notice->told = notice->tellNow = true;
    return true;
}
