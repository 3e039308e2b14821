// Fingers on the page's canvas as the mouse's buttons, keys, pointer and wheel that the frames read.
#include <gtest/gtest.h>

#include <ostream>

#include "editor/platform.h"
#include "web/frame_pacing.h"
#include "web/touch_input.h"

namespace {

enum : int { L = 1, R = 2, M = 4, S = 8, E = 16 };

// What one frame reads: the buttons and keys down or pressed since the last frame, and the pointer.
struct Seen {
    int buttons;
    int32_t x, y;
    bool operator==(const Seen& o) const { return buttons == o.buttons && x == o.x && y == o.y; }
};
std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << "{" << s.buttons << ", " << s.x << ", " << s.y << "}";
}

struct TouchRig {
    BrowserInput mouse;
    TouchInput touch{mouse};

    Seen Frame() {
        const int keys[] = {kKeyLeftButton, kKeyRightButton, kKeyMiddleButton, kKeyShift, kKeyEscape};
        Seen seen{0, mouse.Pointer().x, mouse.Pointer().y};
        for (int i = 0; i < 5; ++i)
            seen.buttons |= mouse.Down(keys[i]) || mouse.Pressed(keys[i]) ? 1 << i : 0;
        mouse.ForgetPresses();
        changeWaits = touch.FrameRan();
        return seen;
    }

    bool changeWaits = false;  // what the last frame's end said: another change is for the next frame to see
};

}  // namespace

TEST(TouchInput, TapClicksWhereItLandedAndADragTurnsFromThere) {
    TouchRig rig;
    rig.touch.Down(1, 100, 200, false, 0);
    rig.touch.Move(1, 108, 200, 100);  // a tremble of 8 pixels is still
    EXPECT_EQ(rig.Frame(), (Seen{0, 0, 0}));
    rig.touch.Up(1, 499);
    EXPECT_EQ(rig.Frame(), (Seen{L, 100, 200}));
    EXPECT_EQ(rig.Frame(), (Seen{0, 100, 200}));

    // 9 pixels is a drag: the first frame sees the right button where the finger landed, the next where it is.
    rig.touch.Down(2, 300, 300, false, 1000);
    rig.touch.Move(2, 300, 309, 1100);
    rig.touch.Move(2, 340, 320, 1110);
    EXPECT_EQ(rig.Frame(), (Seen{R, 300, 300}));
    EXPECT_EQ(rig.Frame(), (Seen{R, 340, 320}));
    rig.touch.Tick(2000);  // held long but not still: no box
    rig.touch.Move(2, 350, 320, 2000);
    rig.touch.Up(2, 2010);
    EXPECT_EQ(rig.Frame(), (Seen{0, 350, 320}));
}

TEST(TouchInput, PressHeldStillHalfASecondIsAShiftDragThatASecondFingerDrops) {
    TouchRig rig;
    rig.touch.Down(1, 50, 60, false, 0xFFFFFF00u);  // across the clock's wrap
    EXPECT_EQ(rig.touch.NextChangeIn(0xFFFFFF00u), 500);
    rig.touch.Tick(0xFFFFFF00u + 499);
    EXPECT_EQ(rig.touch.NextChangeIn(0xFFFFFF00u + 499), 1);
    EXPECT_EQ(rig.Frame(), (Seen{0, 0, 0}));
    rig.touch.Tick(0xFFFFFF00u + 500);
    EXPECT_EQ(rig.touch.NextChangeIn(0xFFFFFF00u + 500), kRestUntilWoken);
    rig.touch.Move(1, 90, 60, 300);
    EXPECT_EQ(rig.Frame(), (Seen{L | S, 50, 60}));
    EXPECT_EQ(rig.Frame(), (Seen{L | S, 90, 60}));
    rig.touch.Up(1, 400);
    EXPECT_EQ(rig.Frame(), (Seen{0, 90, 60}));  // letting go applies the box

    // A second finger: Esc while the left button is still held, so that the box is dropped, not applied; the frame
    // that sees it is told to come.
    rig.touch.Down(1, 50, 60, false, 1000);
    rig.touch.Move(1, 52, 60, 1600);  // the hold is judged at the event's time
    EXPECT_EQ(rig.Frame(), (Seen{L | S, 50, 60}));
    rig.touch.Down(2, 200, 60, false, 1700);
    EXPECT_EQ(rig.Frame(), (Seen{L | S | E, 52, 60}));
    EXPECT_TRUE(rig.changeWaits);
    EXPECT_EQ(rig.Frame(), (Seen{0, 52, 60}));
    EXPECT_FALSE(rig.changeWaits);
    rig.touch.Move(2, 300, 60, 1800);  // nothing more until every finger is up
    rig.touch.Up(1, 1900);
    EXPECT_EQ(rig.Frame(), (Seen{0, 52, 60}));
    rig.touch.Up(2, 1900);
    rig.touch.Down(3, 10, 20, false, 3000);
    rig.touch.Up(3, 3010);
    EXPECT_EQ(rig.Frame(), (Seen{L, 10, 20}));
}

TEST(TouchInput, TwoFingersSlideByTheirMidpointAndPinchInWheelNotches) {
    TouchRig rig;
    // A turn under way ends where its finger is before the slide takes the pointer to the midpoint.
    rig.touch.Down(1, 100, 100, false, 0);
    rig.touch.Move(1, 120, 100, 10);
    rig.Frame();
    rig.touch.Down(2, 220, 100, false, 20);
    EXPECT_EQ(rig.Frame(), (Seen{0, 120, 100}));
    EXPECT_EQ(rig.Frame(), (Seen{M, 170, 100}));
    // 39 pixels more between them is no notch, 40 one; the rest counts on, either way.
    EXPECT_EQ(rig.touch.Move(2, 259, 100, 30), 0);
    EXPECT_EQ(rig.touch.Move(2, 260, 100, 40), 1);
    EXPECT_EQ(rig.touch.Move(1, 81, 100, 50), 0);
    EXPECT_EQ(rig.touch.Move(1, 159, 100, 60), 0);
    EXPECT_EQ(rig.touch.Move(1, 160, 100, 60), -1);
    EXPECT_EQ(rig.touch.Move(1, 200, 40, 70), 0);
    EXPECT_EQ(rig.Frame(), (Seen{M, 230, 70}));
    // One finger up ends the slide; the other does nothing until it is up too.
    rig.touch.Up(1, 80);
    rig.touch.Move(2, 400, 400, 90);
    EXPECT_EQ(rig.Frame(), (Seen{0, 230, 70}));
    EXPECT_EQ(rig.touch.Move(2, 400, 100, 90), 0);
    rig.touch.Up(2, 100);
    rig.touch.Down(3, 10, 20, false, 200);
    rig.touch.Down(4, 30, 20, false, 210);  // a second finger before the first moved: a slide at once
    EXPECT_EQ(rig.Frame(), (Seen{M, 20, 20}));
}

TEST(TouchInput, PanelPressIsTheLeftButtonAndCancelOrBlurDropsTheGesture) {
    TouchRig rig;
    rig.touch.Down(1, 10, 10, true, 0);
    rig.touch.Move(1, 40, 10, 10);
    rig.touch.Tick(1000);  // no box on a panel
    EXPECT_EQ(rig.Frame(), (Seen{L, 10, 10}));
    EXPECT_EQ(rig.Frame(), (Seen{L, 40, 10}));
    rig.touch.Down(2, 300, 300, false, 1000);  // a finger more is nothing to the panel's drag
    EXPECT_EQ(rig.Frame(), (Seen{L, 40, 10}));
    rig.touch.Up(1, 1010);
    EXPECT_EQ(rig.Frame(), (Seen{0, 40, 10}));
    rig.touch.Up(2, 1010);

    // The browser taking the finger drops a box as a second finger does.
    rig.touch.Down(3, 100, 100, false, 2000);
    rig.touch.Tick(2500);
    rig.Frame();
    rig.touch.Cancel(3);
    EXPECT_EQ(rig.Frame(), (Seen{L | S | E, 100, 100}));
    EXPECT_EQ(rig.Frame(), (Seen{0, 100, 100}));
    // Losing the focus forgets the fingers: their events later are nothing.
    rig.touch.Down(4, 100, 100, false, 3000);
    rig.touch.Forget();
    rig.mouse.ReleaseAll();
    rig.touch.Up(4, 3010);
    EXPECT_EQ(rig.Frame(), (Seen{0, 100, 100}));
}

TEST(FramePacing, SoonerLimitTakesTheEarlierOfTwoRests) {
    EXPECT_EQ(SoonerLimit(kRestUntilWoken, kRestUntilWoken), kRestUntilWoken);
    EXPECT_EQ(SoonerLimit(kRestUntilWoken, 500), 500);
    EXPECT_EQ(SoonerLimit(0, kRestUntilWoken), 0);
    EXPECT_EQ(SoonerLimit(499, 500), 499);
    EXPECT_EQ(SoonerLimit(500, 499), 499);
}
