// X pointer buttons and modifier state in the toolkit's codes.
#pragma once

namespace platform::x11 {

// X button 1 is left, 2 middle, 3 right; wheel and side buttons give 0 (not a press to report).
int ButtonCodeOfX(unsigned int xButton);
// The X button of a toolkit button code, 0 for none.
unsigned int XButtonOfCode(int code);
// The X button mask of an X button (Button1Mask...), 0 for none.
unsigned int XButtonMask(unsigned int xButton);
// 1 Shift, 2 Ctrl, 4 Alt from an X event's modifier state.
int ShiftOfXState(unsigned int state);

} // namespace platform::x11
