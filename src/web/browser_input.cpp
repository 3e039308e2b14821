#include "web/browser_input.h"

#include "editor/platform.h"

namespace {

constexpr uint32_t kComposingKeyCode = 229;
constexpr double kUnitsPerNotch = 120.0;
constexpr double kUnitsPerLine = 40.0;

int VirtualKeyOfButton(int domButton) {
    switch (domButton) {
        case kDomLeftButton:
            return kKeyLeftButton;
        case kDomMiddleButton:
            return kKeyMiddleButton;
        case kDomRightButton:
            return kKeyRightButton;
        default:
            return 0;
    }
}

}  // namespace

int VirtualKeyOf(uint32_t keyCode) {
    if (keyCode == 0 || keyCode == kComposingKeyCode || keyCode > 0xFF)
        return 0;
    return static_cast<int>(keyCode);
}

bool KeepFromBrowser(int virtualKey, bool ctrl) {
    return (virtualKey >= kKeyLeft && virtualKey <= kKeyDown) || virtualKey == kKeyHome ||
           (ctrl && (virtualKey == kKeyZ || virtualKey == kKeyY));
}

int BrowserInput::Key(uint32_t keyCode, bool down, bool repeat) {
    const int key = VirtualKeyOf(keyCode);
    Set(key, down, down && !repeat);
    return key;
}

void BrowserInput::Button(int domButton, bool down) {
    Set(VirtualKeyOfButton(domButton), down, down);
}

void BrowserInput::Set(int virtualKey, bool down, bool newPress) {
    if (virtualKey == 0)
        return;
    down_[virtualKey] = down;
    if (newPress)
        presses_.Note(virtualKey);
}

void BrowserInput::Move(int32_t pageX, int32_t pageY) {
    pointer_ = {pageX, pageY};
}

void BrowserInput::ReleaseAll() {
    for (bool& key : down_)
        key = false;
    presses_.Forget();
    wheelUnits_ = 0.0;
}

bool BrowserInput::Down(int virtualKey) const {
    return virtualKey > 0 && virtualKey < 256 && down_[virtualKey];
}

int16_t BrowserInput::Wheel(double deltaY, unsigned deltaMode) {
    // The page's delta grows towards the user; Windows counts rolling away from the user as positive.
    double units = -deltaY;
    if (deltaMode == kWheelPixels)
        units = units * 6.0 / 5.0;  // 1.2 units a pixel, exact for whole notches
    else if (deltaMode == kWheelLines)
        units *= kUnitsPerLine;
    else
        units *= kUnitsPerNotch;
    if ((units < 0.0) != (wheelUnits_ < 0.0))
        wheelUnits_ = 0.0;
    wheelUnits_ += units;
    const double notches = static_cast<double>(static_cast<int64_t>(wheelUnits_ / kUnitsPerNotch));
    wheelUnits_ -= notches * kUnitsPerNotch;
    if (notches > 32767.0)
        return 32767;
    if (notches < -32768.0)
        return -32768;
    return static_cast<int16_t>(notches);
}
