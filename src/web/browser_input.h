// Keys, buttons and the pointer as the page's events report them, kept so that the frame update can poll them
// the way it polls the keyboard on Windows. Plain C++: the unit tests drive it natively.
#pragma once

#include <cstdint>

#include "editor/view/camera.h"
#include "editor/platform.h"

// DOM mouse button numbers.
enum DomButton : int { kDomLeftButton = 0, kDomMiddleButton = 1, kDomRightButton = 2 };

// WheelEvent.deltaMode.
enum WheelMode : unsigned { kWheelPixels = 0, kWheelLines = 1, kWheelPages = 2 };

// The virtual-key code of a key event: the legacy keyCode, which browsers give the values of the Windows codes for
// letters, digits, arrows and Ctrl. 0 for a key still being composed by an input method or one without a code.
int VirtualKeyOf(uint32_t keyCode);

// Whether the page keeps a key's press from the browser, which would act on it too: the arrows and Home would
// scroll, Ctrl+Y and Ctrl+Z belong to the editor.
bool KeepFromBrowser(int virtualKey, bool ctrl);

class BrowserInput {
public:
    // A key went down or up; returns its virtual-key code, 0 when it has none. A repeat of a held key is no new
    // press.
    int Key(uint32_t keyCode, bool down, bool repeat = false);
    void Button(int domButton, bool down);
    // The pointer in page pixels; the camera's drags read it as the screen position.
    void Move(int32_t pageX, int32_t pageY);
    // The page lost the focus: no key-up or button-up events will arrive for what is held now.
    void ReleaseAll();
    bool Down(int virtualKey) const;
    // Went down since the presses were last forgotten, held or not.
    bool Pressed(int virtualKey) const { return presses_.Seen(virtualKey); }
    void ForgetPresses() { presses_.Forget(); }
    ScreenPoint Pointer() const { return pointer_; }
    // Zoom notches for a wheel event, as Windows counts them: 120 units a notch, rolling away from the user
    // positive. A pixel counts 1.2 units (100 pixels a notch), a line 40. Travel short of a notch is kept for the
    // next event in the same direction.
    int16_t Wheel(double deltaY, unsigned deltaMode);

private:
    void Set(int virtualKey, bool down, bool newPress);

    bool down_[256] = {};
    KeyPresses presses_;
    ScreenPoint pointer_;
    double wheelUnits_ = 0.0;
};
