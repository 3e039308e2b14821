// Fingers on the page's canvas as the mouse's buttons, keys, pointer and wheel that the frames read.
#include <gtest/gtest.h>

#include <vector>

#include "editor/platform.h"
#include "web/frame_pacing.h"
#include "web/touch_input.h"

namespace {

enum : int32_t { L = 1, R = 2, M = 4, S = 8, E = 16 };

// A finger landing (D, or P on a panel), moving (V: n the wheel notches it must make), lifted (U) or taken by the
// browser (C); time passing (T); the focus lost (B); or a frame (F: n the buttons it must see at x, y; W also that
// another change waits for the next frame).
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
        if (s.op == 'D' || s.op == 'P')
            touch.Down(s.id, s.x, s.y, s.op == 'P', s.ms);
        else if (s.op == 'V')
            EXPECT_EQ(touch.Move(s.id, s.x, s.y, s.ms), s.n);
        else if (s.op == 'U')
            touch.Up(s.id, s.ms);
        else if (s.op == 'C')
            touch.Cancel(s.id);
        else if (s.op == 'T')
            touch.Tick(s.ms);
        if (s.op == 'B') {
            touch.Forget();
            mouse.ReleaseAll();
        }
        if (s.op != 'F' && s.op != 'W')
            continue;
        int32_t seen = 0;
        for (int k = 0; k < 5; ++k)
            seen |= mouse.Down(keys[k]) || mouse.Pressed(keys[k]) ? 1 << k : 0;
        EXPECT_EQ(seen, s.n);
        EXPECT_EQ(mouse.Pointer().x, s.x);
        EXPECT_EQ(mouse.Pointer().y, s.y);
        mouse.ForgetPresses();
        EXPECT_EQ(touch.FrameRan(), s.op == 'W');
    }
}

}  // namespace

// A line of steps to each part of a gesture.
// clang-format off

// A tremble of 8 pixels is still a tap, a click where the finger landed; 9 pixels is a turn, whose first frame sees
// the right button where the finger landed and the next where it is. Held 499 ms is nothing yet, 500 ms a Shift press
// where it landed, across the clock's wrap; letting go applies the box. A second finger presses Esc while the left
// button is still held, so that the box is dropped, not applied; then nothing until every finger is up.
TEST(TouchInput, TapClicksWhereItLandedADragTurnsFromThereAHeldPressIsAShiftDrag) {
    RunSteps({{'D', 1, 100, 200, 0}, {'V', 1, 108, 200, 100}, {'F', 0, 0, 0}, {'U', 1, 0, 0, 499},
              {'W', 0, 100, 200, 0, L}, {'F', 0, 100, 200, 0, 0},
              {'D', 2, 300, 300, 1000}, {'V', 2, 300, 309, 1100}, {'V', 2, 340, 320, 1110}, {'F', 0, 300, 300, 0, R},
              {'F', 0, 340, 320, 0, R}, {'T', 0, 0, 0, 2000}, {'U', 2, 0, 0, 2010}, {'F', 0, 340, 320, 0, 0},
              {'D', 3, 50, 60, 0xFFFFFF00u}, {'T', 0, 0, 0, 0xFFFFFF00u + 499}, {'F', 0, 340, 320, 0, 0},
              {'V', 3, 55, 60, 0xFFFFFF00u + 500}, {'V', 3, 90, 60, 300}, {'F', 0, 50, 60, 0, L | S},
              {'F', 0, 90, 60, 0, L | S}, {'U', 3, 0, 0, 400}, {'F', 0, 90, 60, 0, 0},
              {'D', 4, 50, 60, 1000}, {'T', 0, 0, 0, 1500}, {'F', 0, 50, 60, 0, L | S}, {'D', 5, 200, 60, 1700},
              {'W', 0, 50, 60, 0, L | S | E}, {'F', 0, 50, 60, 0, 0}, {'V', 5, 300, 60, 1800}, {'U', 4, 0, 0, 1900},
              {'F', 0, 50, 60, 0, 0}, {'U', 5, 0, 0, 1900}, {'D', 6, 10, 20, 3000}, {'U', 6, 0, 0, 3010},
              {'W', 0, 10, 20, 0, L}});
}

// A turn under way ends where its finger is before the slide takes the pointer to the midpoint. 39 pixels more
// between the fingers is no notch, 40 one; the rest counts on, either way. One finger up ends it; the other does
// nothing until it is up too. Two fingers before the first moved slide at once.
TEST(TouchInput, TwoFingersSlideByTheirMidpointAndPinchInWheelNotches) {
    RunSteps({{'D', 1, 100, 100, 0}, {'V', 1, 120, 100, 10}, {'F', 0, 100, 100, 0, R}, {'F', 0, 120, 100, 0, R},
              {'D', 2, 220, 100, 20}, {'W', 0, 120, 100, 0, 0}, {'F', 0, 170, 100, 0, M},
              {'V', 2, 259, 100, 30, 0}, {'V', 2, 260, 100, 40, 1}, {'V', 1, 81, 100, 50, 0},
              {'V', 1, 159, 100, 60, 0}, {'V', 1, 160, 100, 60, -1}, {'V', 1, 200, 40, 70, 0}, {'F', 0, 230, 70, 0, M},
              {'U', 1, 0, 0, 80}, {'V', 2, 400, 400, 90, 0}, {'F', 0, 230, 70, 0, 0}, {'U', 2, 0, 0, 100},
              {'D', 3, 10, 20, 200}, {'D', 4, 30, 20, 210}, {'F', 0, 20, 20, 0, M}});
}

// A press on a panel is the left button at once, dragged, never a box, and a second finger is nothing to it. The
// browser taking a finger drops a box as a second finger does; a lost focus forgets the fingers.
TEST(TouchInput, APanelPressIsTheLeftButtonAndACancelOrBlurDropsTheGesture) {
    RunSteps({{'P', 1, 10, 10, 0}, {'V', 1, 40, 10, 10}, {'T', 0, 0, 0, 1000}, {'F', 0, 10, 10, 0, L},
              {'D', 2, 300, 300, 1000}, {'F', 0, 40, 10, 0, L}, {'U', 1, 0, 0, 1010}, {'F', 0, 40, 10, 0, 0},
              {'U', 2, 0, 0, 1010},
              {'D', 3, 100, 100, 2000}, {'T', 0, 0, 0, 2500}, {'F', 0, 100, 100, 0, L | S}, {'C', 3},
              {'W', 0, 100, 100, 0, L | S | E}, {'F', 0, 100, 100, 0, 0},
              {'D', 4, 100, 100, 3000}, {'B'}, {'U', 4, 0, 0, 3010}, {'F', 0, 100, 100, 0, 0}});
}

// clang-format on

TEST(TouchInput, TheLoopRestsUntilAHeldPressIsDue) {
    BrowserInput mouse;
    TouchInput touch(mouse);
    EXPECT_EQ(touch.NextChangeIn(0), kRestUntilWoken);
    touch.Down(1, 0, 0, false, 0xFFFFFF00u);
    EXPECT_EQ(touch.NextChangeIn(0xFFFFFF00u + 1), 499);
    EXPECT_EQ(touch.NextChangeIn(0xFFFFFF00u + 600), 0);
    touch.Tick(0xFFFFFF00u + 600);
    EXPECT_EQ(touch.NextChangeIn(0xFFFFFF00u + 600), kRestUntilWoken);
    EXPECT_EQ(SoonerLimit(kRestUntilWoken, kRestUntilWoken), kRestUntilWoken);
    EXPECT_EQ(SoonerLimit(kRestUntilWoken, 500), 500);
    EXPECT_EQ(SoonerLimit(499, kRestUntilWoken), 499);
    EXPECT_EQ(SoonerLimit(500, 499), 499);
}
