#include "platform/linux/gui/x11_buttons.h"

#include <X11/X.h>

#include "platform/toolkit.h"

namespace platform::x11 {

int ButtonCodeOfX(unsigned int xButton) {
    switch (xButton) {
    case Button1: return kButtonLeft;
    case Button2: return kButtonMiddle;
    case Button3: return kButtonRight;
    default: return 0;
    }
}

unsigned int XButtonOfCode(int code) {
    switch (code) {
    case kButtonLeft: return Button1;
    case kButtonMiddle: return Button2;
    case kButtonRight: return Button3;
    default: return 0;
    }
}

unsigned int XButtonMask(unsigned int xButton) {
    switch (xButton) {
    case Button1: return Button1Mask;
    case Button2: return Button2Mask;
    case Button3: return Button3Mask;
    default: return 0;
    }
}

int ShiftOfXState(unsigned int state) {
    return (state & ShiftMask ? 1 : 0) | (state & ControlMask ? 2 : 0) | (state & Mod1Mask ? 4 : 0);
}

} // namespace platform::x11
