#include "web/touch_input.h"

#include <cmath>

#include "editor/platform.h"

namespace {

// The buttons and keys a touch holds, as bits of a mouse state.
enum TouchButton : uint8_t {
    kTouchLeft = 1,
    kTouchRight = 2,
    kTouchMiddle = 4,
    kTouchShift = 8,
    kTouchEscape = 16,
};

// How each bit reaches the mouse's state: a DOM button, or a key by its key code.
constexpr struct {
    uint8_t bit;
    bool key;
    int code;
} kTouchButtons[] = {
    {kTouchLeft, false, kDomLeftButton}, {kTouchRight, false, kDomRightButton}, {kTouchMiddle, false, kDomMiddleButton},
    {kTouchShift, true, kKeyShift},      {kTouchEscape, true, kKeyEscape},
};

}  // namespace

void TouchInput::Down(int32_t id, int32_t pageX, int32_t pageY, bool onPanel, uint32_t ms) {
    Tick(ms);
    if (fingerCount_ == kMaxFingers || Find(id) != nullptr)
        return;
    fingers_[fingerCount_++] = {id, {pageX, pageY}};
    switch (gesture_) {
        case Gesture::None:
            firstId_ = id;
            landed_ = {pageX, pageY};
            landedMs_ = ms;
            gesture_ = onPanel ? Gesture::Panel : Gesture::Pressed;
            if (onPanel)
                Want(landed_, kTouchLeft);
            break;
        case Gesture::Pressed:
            StartPinch(id);
            break;
        case Gesture::Turn:
            // The turn ends where its finger is before the slide takes the pointer to the midpoint.
            Want(Last().pointer, 0);
            StartPinch(id);
            break;
        case Gesture::Box:
            // A second finger drops the box, as Esc does.
            EndGesture(true);
            break;
        default:
            break;  // a finger more than the gesture uses
    }
}

int16_t TouchInput::Move(int32_t id, int32_t pageX, int32_t pageY, uint32_t ms) {
    Tick(ms);
    Finger* finger = Find(id);
    if (finger == nullptr)
        return 0;
    finger->at = {pageX, pageY};
    const bool first = id == firstId_;
    switch (gesture_) {
        case Gesture::Pressed: {
            const int32_t dx = pageX - landed_.x;
            const int32_t dy = pageY - landed_.y;
            if (dx * dx + dy * dy > kTouchStillPixels * kTouchStillPixels) {
                // The turn is measured from where the finger landed, the pixels it took to leave it included.
                gesture_ = Gesture::Turn;
                Want(landed_, kTouchRight);
                Want(finger->at, kTouchRight);
            }
            break;
        }
        case Gesture::Turn:
            if (first)
                Want(finger->at, kTouchRight);
            break;
        case Gesture::Box:
            if (first)
                Want(finger->at, kTouchLeft | kTouchShift);
            break;
        case Gesture::Panel:
            if (first)
                Want(finger->at, kTouchLeft);
            break;
        case Gesture::Pinch: {
            if (!first && id != secondId_)
                break;
            Want(Midpoint(), kTouchMiddle);
            // The distance short of a notch is kept for the next move, either way.
            const double notches = std::trunc((Spread() - pinchBase_) / kPinchPixelsPerNotch);
            pinchBase_ += notches * kPinchPixelsPerNotch;
            return static_cast<int16_t>(notches);
        }
        default:
            break;
    }
    return 0;
}

void TouchInput::Up(int32_t id, uint32_t ms) {
    Tick(ms);
    const bool gestureFinger = DrivesGesture(id);
    if (!Remove(id))
        return;
    if (gesture_ == Gesture::Pressed) {
        // Let go before it moved or was held: a click where it landed.
        Want(landed_, kTouchLeft);
        Want(landed_, 0);
        gesture_ = Gesture::None;
    } else if (gestureFinger && gesture_ != Gesture::Spent) {
        EndGesture(false);
    }
    SettleWhenLifted();
}

void TouchInput::Cancel(int32_t id) {
    const bool gestureFinger = DrivesGesture(id);
    if (!Remove(id))
        return;
    if (gestureFinger && gesture_ != Gesture::Spent)
        EndGesture(true);
    SettleWhenLifted();
}

bool TouchInput::DrivesGesture(int32_t id) const {
    return id == firstId_ || (gesture_ == Gesture::Pinch && id == secondId_);
}

void TouchInput::SettleWhenLifted() {
    if (gesture_ == Gesture::Spent && fingerCount_ == 0)
        gesture_ = Gesture::None;
}

void TouchInput::Tick(uint32_t ms) {
    // Unsigned arithmetic: a wrap of the clock still gives the time held.
    if (gesture_ == Gesture::Pressed && ms - landedMs_ >= kTouchHoldMs) {
        gesture_ = Gesture::Box;
        Want(landed_, kTouchLeft | kTouchShift);
    }
}

int32_t TouchInput::NextChangeIn(uint32_t ms) const {
    if (gesture_ != Gesture::Pressed)
        return kRestUntilWoken;
    const uint32_t held = ms - landedMs_;
    return held >= kTouchHoldMs ? 0 : static_cast<int32_t>(kTouchHoldMs - held);
}

bool TouchInput::FrameRan() {
    seen_ = true;
    while (seen_ && waiting_ > 0) {
        const MouseState next = queue_[0];
        for (int i = 1; i < waiting_; ++i)
            queue_[i - 1] = queue_[i];
        --waiting_;
        seen_ = next.buttons == given_.buttons;
        Give(next);
    }
    return !seen_;
}

void TouchInput::Forget() {
    fingerCount_ = 0;
    gesture_ = Gesture::None;
    waiting_ = 0;
    given_.buttons = 0;
    seen_ = true;
}

TouchInput::Finger* TouchInput::Find(int32_t id) {
    for (int i = 0; i < fingerCount_; ++i) {
        if (fingers_[i].id == id)
            return &fingers_[i];
    }
    return nullptr;
}

bool TouchInput::Remove(int32_t id) {
    Finger* finger = Find(id);
    if (finger == nullptr)
        return false;
    *finger = fingers_[--fingerCount_];
    return true;
}

void TouchInput::PinchFingers(ScreenPoint& first, ScreenPoint& second) const {
    for (int i = 0; i < fingerCount_; ++i) {
        if (fingers_[i].id == firstId_)
            first = fingers_[i].at;
        else if (fingers_[i].id == secondId_)
            second = fingers_[i].at;
    }
}

ScreenPoint TouchInput::Midpoint() const {
    ScreenPoint a, b;
    PinchFingers(a, b);
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

double TouchInput::Spread() const {
    ScreenPoint a, b;
    PinchFingers(a, b);
    return std::hypot(static_cast<double>(a.x - b.x), static_cast<double>(a.y - b.y));
}

void TouchInput::StartPinch(int32_t secondId) {
    secondId_ = secondId;
    gesture_ = Gesture::Pinch;
    pinchBase_ = Spread();
    Want(Midpoint(), kTouchMiddle);
}

void TouchInput::EndGesture(bool dropBox) {
    if (gesture_ == Gesture::Box && dropBox)
        Want(Last().pointer, kTouchLeft | kTouchShift | kTouchEscape);
    Want(Last().pointer, 0);
    gesture_ = fingerCount_ > 0 ? Gesture::Spent : Gesture::None;
}

void TouchInput::Want(ScreenPoint pointer, uint8_t buttons) {
    const MouseState next{pointer, buttons};
    if (waiting_ > 0 && queue_[waiting_ - 1].buttons == buttons) {
        queue_[waiting_ - 1] = next;
        return;
    }
    if (waiting_ == 0 && seen_) {
        seen_ = buttons == given_.buttons;
        Give(next);
        return;
    }
    // A flood of changes while no frame runs: the newest waiting one gives way.
    if (waiting_ == kMaxWaiting)
        --waiting_;
    queue_[waiting_++] = next;
}

void TouchInput::Give(const MouseState& state) {
    mouse_.Move(state.pointer.x, state.pointer.y);
    for (const auto& button : kTouchButtons) {
        const bool down = (state.buttons & button.bit) != 0;
        if (down == ((given_.buttons & button.bit) != 0))
            continue;
        if (button.key)
            mouse_.Key(static_cast<uint32_t>(button.code), down);
        else
            mouse_.Button(button.code, down);
    }
    given_ = state;
}
