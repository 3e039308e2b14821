// Which panel bitmap the paint window shows: the one drawn for the program's language, or the Japanese one, which
// every build carries, when the language's own is missing or cannot be read. The hot spots are the same in both.
#pragma once

#include <functional>

#include "files/bitmap.h"
#include "text/texts.h"

// The file of a language's panel in the program folder, as the artwork script writes it.
const char* PanelFileOf(Language language);

// Reads one language's panel; false when it is missing or cannot be decoded.
using PanelReader = std::function<bool(Language language, Image& image)>;

// That the chosen language's panel was missing and the Japanese one stands in is said once a run: the first read
// that falls back sets tellNow, and no later one does.
struct PanelFallbackNotice {
    bool told = false;
    bool tellNow = false;
};

// The language's panel through `read`, else the Japanese one; false when neither can be read. A notice, when given,
// learns whether to say the fallback now.
bool ReadPanelArtwork(Language language,
                      const PanelReader& read,
                      Image& image,
                      PanelFallbackNotice* notice = nullptr);
