// Fingers on the canvas made into what the mouse would do there, so that the frame update reads them as it reads the
// mouse: a tap is a left click, a one-finger drag the right button's turn, two fingers the middle button's slide and
// the wheel's notches, a press held still a Shift + left drag. Plain C++: the unit tests drive it natively.
#pragma once

#include <cstdint>

#include "editor/view/camera.h"
#include "web/browser_input.h"
#include "web/frame_pacing.h"

// A press held this long without leaving kTouchStillPixels of where it landed starts a box.
constexpr uint32_t kTouchHoldMs = 500;
// How far a finger may tremble and still count as held still (Android's own touch slop is 8 pixels as well).
constexpr int32_t kTouchStillPixels = 8;
// One wheel notch for every 40 pixels the two fingers' distance grows (nearer) or shrinks (further away). A notch
// moves the eye two units: from the start view a pinch of 120 pixels reaches the nearest zoom, as three notches do,
// and a spread across a phone's width (some 360 pixels) goes nine notches, a brisk roll of the wheel. Much less and
// a finger's tremble would make the view jump; much more and crossing a model would take several pinches.
constexpr int32_t kPinchPixelsPerNotch = 40;

class TouchInput {
public:
    explicit TouchInput(BrowserInput& mouse) : mouse_(mouse) {}

    // A finger landed at a page point at a time of the wrapping millisecond clock; onPanel when a click there belongs
    // to a panel (the paint panel's drags and held buttons then work as the left button's do).
    void Down(int32_t id, int32_t pageX, int32_t pageY, bool onPanel, uint32_t ms);
    // A finger moved; returns the wheel notches a pinch made, away from the user (nearer) positive.
    int16_t Move(int32_t id, int32_t pageX, int32_t pageY, uint32_t ms);
    void Up(int32_t id, uint32_t ms);
    // The browser took a finger away: what it was doing stops, a box is dropped rather than made.
    void Cancel(int32_t id);
    // Time passed: a press held still long enough starts its box without any event.
    void Tick(uint32_t ms);
    // Milliseconds until Tick changes something, kRestUntilWoken when nothing waits on the clock.
    int32_t NextChangeIn(uint32_t ms) const;
    // A frame update has read the buttons: the next change waiting for one is given to the mouse. True when a change
    // is left that the next frame must see.
    bool FrameRan();
    // The page lost the focus and the mouse's state with it: every finger and gesture is forgotten.
    void Forget();

private:
    enum class Gesture {
        None,     // no finger down
        Pressed,  // one finger down in the view, neither moved nor held long enough yet
        Turn,     // the right button
        Box,      // Shift and the left button
        Panel,    // the left button on a panel
        Pinch,    // the middle button at the fingers' midpoint, and the wheel
        Spent,    // nothing more until every finger is up
    };
    // What the touch holds of the mouse: the pointer and a set of TouchButton bits.
    struct MouseState {
        ScreenPoint pointer;
        uint8_t buttons = 0;
    };
    struct Finger {
        int32_t id = 0;
        ScreenPoint at;
    };
    static constexpr int kMaxFingers = 10;
    static constexpr int kMaxWaiting = 8;

    Finger* Find(int32_t id);
    bool Remove(int32_t id);
    // Whether a finger drives the gesture: its first finger, or a pinch's second.
    bool DrivesGesture(int32_t id) const;
    // A spent gesture ends once the last finger is off.
    void SettleWhenLifted();
    // Where the pinch's two fingers are.
    void PinchFingers(ScreenPoint& first, ScreenPoint& second) const;
    ScreenPoint Midpoint() const;
    double Spread() const;
    void StartPinch(int32_t secondId);
    // Ends the gesture: the buttons are let go (a box dropped first); Spent while fingers stay down.
    void EndGesture(bool dropBox);
    // The mouse state the gesture asks for next, after the ones waiting.
    void Want(ScreenPoint pointer, uint8_t buttons);
    const MouseState& Last() const { return waiting_ > 0 ? queue_[waiting_ - 1] : given_; }
    void Give(const MouseState& state);

    BrowserInput& mouse_;
    Finger fingers_[kMaxFingers];
    int fingerCount_ = 0;
    Gesture gesture_ = Gesture::None;
    int32_t firstId_ = 0;   // the finger that began the gesture
    int32_t secondId_ = 0;  // the pinch's other finger
    ScreenPoint landed_;    // where the first finger landed
    uint32_t landedMs_ = 0;
    double pinchBase_ = 0.0;  // the fingers' distance that the pinch's next notch counts from
    // Each change of the buttons is read by a frame before the next one is made, and the pointer stays where a
    // button changed until then: the frame that sees a press sees it where it happened (a box's first cube, a turn's
    // anchor), and a turn's last frame does not see the pointer jump to where a slide starts.
    MouseState given_;  // as the mouse has it now
    bool seen_ = true;  // a frame has read given_'s buttons
    MouseState queue_[kMaxWaiting];
    int waiting_ = 0;
};
