// Presses on the window: the labels and the visible picture keep theirs, the bare panel drags.
#include "monitor/fNevlin.h"

namespace {

bool Contains(const platform::TwipsRect& rect, int x, int y) {
    return x >= rect.Left && x < rect.Left + rect.Width && y >= rect.Top && y < rect.Top + rect.Height;
}

} // namespace

void fNevlin::MouseDown(int button, int shift, int xTwips, int yTwips) {
    if (endStatus_) return; // closing: the window is about to go
    for (const platform::Label* label : {&controls_.Label1, &controls_.Label2, &controls_.Label3}) {
        if (Contains(label->Rect, xTwips, yTwips)) return;
    }
    for (const platform::Picture& picture : controls_.Image1) {
        if (picture.Visible && Contains(picture.Rect, xTwips, yTwips)) return;
    }
    Form_MouseDown(button, shift, xTwips, yTwips);
}

void fNevlin::Form_MouseDown(int Button, int /*Shift*/, int /*X*/, int /*Y*/) {
    if (Button != platform::kButtonRight) StartDrag(Button);
}

// The window manager moves the window until the button is released, as if by a title bar.
void fNevlin::StartDrag(int Button) {
    window_->ReleaseCapture();
    window_->BeginMove(Button);
}

// The window system's close is the close chord's close.
void fNevlin::CloseRequested() {
    if (endStatus_) return;
    WindowPosition(*this, true);
    EndProgram(0);
}
