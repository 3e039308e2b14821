// The status strip along the bottom of the client area.
#pragma once

#include <cstdint>

#include "render/frame_drawing.h"

constexpr int kStatusClickHeight = 16;

struct StatusWindowState {
    bool shown = true;
    // The client rectangle as last measured while drawing; all zero until the strip was first drawn.
    ClientRect rect;

    bool ClickHits(int32_t cx, int32_t cy) const {
        return 0 <= cx && cx < rect.right && rect.bottom - kStatusClickHeight <= cy && cy < rect.bottom;
    }
};
