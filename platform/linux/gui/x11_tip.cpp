#include "platform/linux/gui/x11_tip.h"

#include <X11/Xatom.h>

#include "platform/linux/gui/x11_window.h"
#include "platform/tip_placement.h"

namespace platform::x11 {

PixelRect TipPlacement(const PixelRect& panel, PixelSize size, const PixelRect& monitor) {
    const ScreenArea area = TipArea({panel.X, panel.Y, panel.Width, panel.Height}, size.Width, size.Height,
                                    {monitor.X, monitor.Y, monitor.Width, monitor.Height});
    return {area.X, area.Y, area.Width, area.Height};
}

TipWindow::TipWindow(const Connection& connection, const Scale& scale) : connection_(connection), scale_(scale) {}

TipWindow::~TipWindow() {
    painter_.reset();
    if (window_) XDestroyWindow(connection_.Dpy(), window_);
}

// Not the manager's to place or decorate: a tooltip of its own kind, as menus' tips are.
void TipWindow::Create() {
    Display* display = connection_.Dpy();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixmap = None;
    attributes.save_under = True;
    attributes.event_mask = ExposureMask;
    window_ = XCreateWindow(display, connection_.Root(), 0, 0, 1, 1, 0, CopyFromParent, InputOutput, CopyFromParent,
                            CWOverrideRedirect | CWBackPixmap | CWSaveUnder | CWEventMask, &attributes);
    SetTitle(connection_, window_, "Ostravel details");
    const ::Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const ::Atom tooltip = XInternAtom(display, "_NET_WM_WINDOW_TYPE_TOOLTIP", False);
    XChangeProperty(display, window_, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&tooltip),
                    1);
    painter_ = std::make_unique<Painter>(display, connection_.Screen(), window_, scale_);
}

void TipWindow::Show(const std::vector<std::string>& lines, const PixelRect& panel, const PixelRect& monitor) {
    if (!window_) Create();
    layout_ = std::make_unique<TipLayout>(lines, scale_.Dpi(), painter_->LineHeight(TipLayout::kFont),
                                          [this](const std::string& line) { return painter_->TextWidth(TipLayout::kFont, line); });
    const PixelSize size{layout_->Width(), layout_->Height()};

    const PixelRect placement = TipPlacement(panel, size, monitor);
    Display* display = connection_.Dpy();
    if (!shown_ || placement.X != placement_.X || placement.Y != placement_.Y || placement.Width != placement_.Width ||
        placement.Height != placement_.Height)
        XMoveResizeWindow(display, window_, placement.X, placement.Y, placement.Width, placement.Height);
    placement_ = placement;
    if (!shown_) XMapRaised(display, window_);
    shown_ = true;
    Repaint();
    XFlush(display);
}

void TipWindow::Hide() {
    if (!shown_) return;
    shown_ = false;
    XUnmapWindow(connection_.Dpy(), window_);
    XFlush(connection_.Dpy());
}

bool TipWindow::Take(const XEvent& event) {
    if (!window_ || event.xany.window != window_) return false;
    if (event.type == Expose && event.xexpose.count == 0 && shown_) {
        Repaint();
        XFlush(connection_.Dpy());
    }
    return true;
}

void TipWindow::Repaint() { painter_->Paint(layout_->Contents(), placement_.Width, placement_.Height); }

} // namespace platform::x11
