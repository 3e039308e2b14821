// Fingers on the page's canvas as the mouse's buttons, keys, pointer and wheel that the frames read.
#include <gtest/gtest.h>

#include <vector>

#include "editor/platform.h"
#include "web/frame_pacing.h"
#include "web/touch_input.h"

namespace {

enum : int32_t { L = 1, R = 2, M = 4, S = 8, E = 16 };

// A finger down (D, or P on a panel), moved (V: n wheel notches), up (U) or taken by the browser (C); time (T: n ms to
// the next change); or a frame (F: n the buttons it sees at x, y; W: and a change waits for the next).
struct Step {
    char op;
    int32_t id = 0, x = 0, y = 0;
    uint32_t ms = 0;
    int32_t n = 0;
};

void RunSteps(const std::vector<Step>& steps) {
    BrowserInput mouse;
    TouchInput touch(mouse);
    const int keys[] = {kKeyLeftButton, kKeyRightButton, kKeyMiddleButton, kKeyShift, kKeyEscape};
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        SCOPED_TRACE(testing::Message() << "step " << i);
        if (s.op == 'D' || s.op == 'P') {
            touch.Down(s.id, s.x, s.y, s.op == 'P', s.ms);
        } else if (s.op == 'V') {
            EXPECT_EQ(touch.Move(s.id, s.x, s.y, s.ms), s.n);
        } else if (s.op == 'U') {
            touch.Up(s.id, s.ms);
        } else if (s.op == 'C') {
            touch.Cancel(s.id);
        } else if (s.op == 'T') {
            touch.Tick(s.ms);
            EXPECT_EQ(touch.NextChangeIn(s.ms), s.n);
        } else {
            int32_t seen = 0;
            for (int k = 0; k < 5; ++k)
                seen |= mouse.Down(keys[k]) || mouse.Pressed(keys[k]) ? 1 << k : 0;
            EXPECT_EQ((std::vector{seen, mouse.Pointer().x, mouse.Pointer().y}), (std::vector{s.n, s.x, s.y}));
            mouse.ForgetPresses();
            EXPECT_EQ(touch.FrameRan(), s.op == 'W');
        }
    }
}

constexpr int32_t kNone = kRestUntilWoken;
constexpr uint32_t kWrap = 0xFFFFFF00u;  // the clock wraps while the press is held

}  // namespace

// clang-format off
TEST(TouchInput, FingersAreTheMouseTheFramesRead) {
    // 8 pixels is still a tap, a click where it landed; 9 a turn from there; 499 ms nothing, 500 ms a Shift press. A
    // second finger or a cancel presses Esc with the left button held: no box. A panel press is the left button.
    RunSteps({{'D', 1, 100, 200, 0}, {'V', 1, 108, 200, 100}, {'F'}, {'U', 1, 0, 0, 499}, {'W', 0, 100, 200, 0, L},
              {'F', 0, 100, 200, 0, 0}, {'D', 2, 300, 300, 1000}, {'V', 2, 300, 309, 1100}, {'V', 2, 340, 320, 1110},
              {'F', 0, 300, 300, 0, R}, {'F', 0, 340, 320, 0, R}, {'T', 0, 0, 0, 2000, kNone}, {'U', 2, 0, 0, 2010},
              {'F', 0, 340, 320, 0, 0}, {'D', 3, 50, 60, kWrap}, {'T', 0, 0, 0, kWrap + 499, 1}, {'F', 0, 340, 320},
              {'V', 3, 55, 60, kWrap + 500}, {'T', 0, 0, 0, kWrap + 600, kNone}, {'V', 3, 90, 60, 300},
              {'F', 0, 50, 60, 0, L | S}, {'F', 0, 90, 60, 0, L | S}, {'U', 3, 0, 0, 400}, {'F', 0, 90, 60, 0, 0},
              {'D', 4, 50, 60, 1000}, {'T', 0, 0, 0, 1500, kNone}, {'F', 0, 50, 60, 0, L | S}, {'D', 5, 200, 60, 1700},
              {'W', 0, 50, 60, 0, L | S | E}, {'F', 0, 50, 60, 0, 0}, {'V', 5, 300, 60, 1800}, {'U', 4, 0, 0, 1900},
              {'F', 0, 50, 60, 0, 0}, {'U', 5, 0, 0, 1900}, {'D', 6, 10, 20, 2000}, {'T', 0, 0, 0, 2500, kNone},
              {'F', 0, 10, 20, 0, L | S}, {'C', 6}, {'W', 0, 10, 20, 0, L | S | E}, {'F', 0, 10, 20},
              {'P', 7, 10, 10, 3000}, {'V', 7, 40, 10, 3010}, {'T', 0, 0, 0, 4000, kNone}, {'F', 0, 10, 10, 0, L},
              {'D', 8, 300, 300, 4000}, {'F', 0, 40, 10, 0, L}, {'U', 7, 0, 0, 4010}, {'F', 0, 40, 10, 0, 0}});
    // A turn ends where its finger is before the pointer goes to the midpoint. 39 pixels more between the fingers is
    // no notch, 40 one; the rest counts on, either way. One finger up ends it; the other does nothing till it is up.
    RunSteps({{'D', 1, 100, 100, 0}, {'V', 1, 120, 100, 10}, {'F', 0, 100, 100, 0, R}, {'F', 0, 120, 100, 0, R},
              {'D', 2, 220, 100, 20}, {'W', 0, 120, 100, 0, 0}, {'F', 0, 170, 100, 0, M},
              {'V', 2, 259, 100, 30, 0}, {'V', 2, 260, 100, 40, 1}, {'V', 1, 81, 100, 50, 0},
              {'V', 1, 159, 100, 60, 0}, {'V', 1, 160, 100, 60, -1}, {'V', 1, 200, 40, 70, 0}, {'F', 0, 230, 70, 0, M},
              {'U', 1, 0, 0, 80}, {'V', 2, 400, 400, 90, 0}, {'F', 0, 230, 70, 0, 0}, {'U', 2, 0, 0, 100},
              {'D', 3, 10, 20, 200}, {'D', 4, 30, 20, 210}, {'F', 0, 20, 20, 0, M}});
}
// clang-format on
