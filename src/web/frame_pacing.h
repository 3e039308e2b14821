// When the page runs a frame and when its loop rests. A frame runs when the editor has one due (FrameDue), never
// while the page is hidden or one of its menus or boxes is open, as none runs in the Windows program's menu loop or
// dialogs. Without a frame to run the loop rests until the page wakes it (WakeFrames follows), or until the scene
// keeper is to look at an unsaved change or a finger held still is to start a box.
#pragma once

#include <cstdint>

// A rest's limit that lets the loop rest until it is woken.
constexpr int32_t kRestUntilWoken = -1;

struct PageRest {
    bool rests;       // the loop waits for a wake before its next pass
    int32_t limitMs;  // at most this long; kRestUntilWoken for no limit
};

// The sooner of two rests' limits, either of which may be kRestUntilWoken.
inline int32_t SoonerLimit(int32_t a, int32_t b) {
    if (a == kRestUntilWoken)
        return b;
    if (b == kRestUntilWoken)
        return a;
    return a < b ? a : b;
}

// Whether the page takes frames at all.
inline bool PageFramesAllowed(bool hidden, bool menuOrBoxOpen) {
    return !hidden && !menuOrBoxOpen;
}

// After a pass: on to the next animation frame while a frame is due and allowed; otherwise a rest, cut short when
// the scene keeper is to look (lookInMs, kRestUntilWoken when it is not).
inline PageRest RestAfterPass(bool framesAllowed, bool frameDue, int32_t lookInMs) {
    if (framesAllowed && frameDue)
        return {false, 0};
    return {true, lookInMs};
}
