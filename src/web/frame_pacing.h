// When the page runs a frame update: on every animation frame while it takes input; now and then while another
// window has the focus, so that a drop, a menu command or a restored scene still shows; never while it is hidden
// or while one of its menus or boxes is open, as none runs in the Windows program's menu loop or dialogs.
#pragma once

#include <cstdint>

constexpr uint32_t kUnfocusedFrameMs = 250;

class FramePacing {
public:
    // Whether this idle pass runs a frame; remembers when one ran.
    bool Due(bool hidden, bool menuOrBoxOpen, bool active, uint32_t now) {
        if (hidden || menuOrBoxOpen || (!active && ran_ && now - last_ < kUnfocusedFrameMs))
            return false;
        ran_ = true;
        last_ = now;
        return true;
    }

private:
    bool ran_ = false;
    uint32_t last_ = 0;  // milliseconds, when the last frame ran
};
