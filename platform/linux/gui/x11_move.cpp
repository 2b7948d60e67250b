#include "platform/linux/gui/x11_move.h"

#include <poll.h>

#include "platform/linux/gui/x11_buttons.h"

namespace platform::x11 {
namespace {

constexpr long kMoveResizeMove = 8;
constexpr long kMoveResizeCancel = 11;
constexpr long kFromApplication = 1;
// How long the own move waits for pointer events before asking the server where the button is.
constexpr int kPointerCheckMs = 50;

struct PointerState {
    int RootX = 0;
    int RootY = 0;
    unsigned int Mask = 0;
};

PointerState QueryPointer(const Connection& connection) {
    PointerState state;
    ::Window root = 0, child = 0;
    int window_x = 0, window_y = 0;
    XQueryPointer(connection.Dpy(), connection.Root(), &root, &child, &state.RootX, &state.RootY, &window_x,
                  &window_y, &state.Mask);
    return state;
}

void SendMoveResize(const Connection& connection, ::Window window, const PointerState& pointer, long direction,
                    unsigned int xButton) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = connection.Atoms().NetWmMoveResize;
    event.xclient.format = 32;
    event.xclient.data.l[0] = pointer.RootX;
    event.xclient.data.l[1] = pointer.RootY;
    event.xclient.data.l[2] = direction;
    event.xclient.data.l[3] = static_cast<long>(xButton);
    event.xclient.data.l[4] = kFromApplication;
    XSendEvent(connection.Dpy(), connection.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

} // namespace

void AskManagerToMove(const Connection& connection, ::Window window, unsigned int xButton) {
    const unsigned int held = XButtonMask(xButton);
    // The press's implicit grab would keep the manager from grabbing the pointer.
    XUngrabPointer(connection.Dpy(), CurrentTime);
    PointerState pointer = QueryPointer(connection);
    if (!(pointer.Mask & held)) return;
    SendMoveResize(connection, window, pointer, kMoveResizeMove, xButton);
    // A release between the query and the manager's grab never reaches the manager,
    // which would then leave the window stuck to the pointer.
    if (!(QueryPointer(connection).Mask & held)) SendMoveResize(connection, window, pointer, kMoveResizeCancel, xButton);
    XFlush(connection.Dpy());
}

void FollowPointer(const Connection& connection, ::Window window, unsigned int xButton) {
    Display* display = connection.Dpy();
    const unsigned int held = XButtonMask(xButton);
    XUngrabPointer(display, CurrentTime);
    XGrabPointer(display, window, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync,
                 None, None, CurrentTime);
    PointerState start = QueryPointer(connection);
    int origin_x = 0, origin_y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, connection.Root(), 0, 0, &origin_x, &origin_y, &child);
    int last_x = start.RootX, last_y = start.RootY;
    bool down = (start.Mask & held) != 0;
    while (down) {
        bool moved = false;
        XEvent event;
        // Only the newest pointer position matters: queued motions are dropped.
        while (XCheckMaskEvent(display, ButtonReleaseMask | PointerMotionMask, &event)) {
            if (event.type == MotionNotify) {
                last_x = event.xmotion.x_root;
                last_y = event.xmotion.y_root;
                moved = true;
            } else if (event.type == ButtonRelease && event.xbutton.button == xButton) {
                last_x = event.xbutton.x_root;
                last_y = event.xbutton.y_root;
                moved = true;
                down = false;
                break;
            }
        }
        if (moved) {
            XMoveWindow(display, window, origin_x + last_x - start.RootX, origin_y + last_y - start.RootY);
            XFlush(display);
        }
        if (!down) break;
        pollfd wait{ConnectionNumber(display), POLLIN, 0};
        if (poll(&wait, 1, kPointerCheckMs) == 0) {
            // No event for a while: the grab may have failed, so ask the server directly.
            PointerState now = QueryPointer(connection);
            down = (now.Mask & held) != 0;
            if (now.RootX != last_x || now.RootY != last_y) {
                last_x = now.RootX;
                last_y = now.RootY;
                XMoveWindow(display, window, origin_x + last_x - start.RootX, origin_y + last_y - start.RootY);
            }
        }
    }
    XUngrabPointer(display, CurrentTime);
    XFlush(display);
}

} // namespace platform::x11
