#include "platform/linux/gui/x11_tip.h"

#include <X11/Xatom.h>

#include <algorithm>

#include "platform/linux/gui/x11_window.h"
#include "platform/tip_placement.h"

namespace platform::x11 {
namespace {

constexpr int kPadding = 4; // pixels around the text
const FontSpec kTipFont{"Verdana", 8.25, 400, kCharsetCyrillic};
constexpr Colour kTipFill = 0x00E1FFFF;   // pale yellow
constexpr Colour kTipBorder = 0x00808080; // grey
constexpr Colour kTipText = 0x00000000;

} // namespace

PixelRect TipPlacement(const PixelRect& panel, PixelSize size, const PixelRect& monitor) {
    const ScreenArea area = TipArea({panel.X, panel.Y, panel.Width, panel.Height}, size.Width, size.Height,
                                    {monitor.X, monitor.Y, monitor.Width, monitor.Height});
    return {area.X, area.Y, area.Width, area.Height};
}

TipWindow::TipWindow(const Connection& connection, const Scale& scale) : connection_(connection), scale_(scale) {
    frame_.FillColor = kTipFill;
    frame_.BorderColor = kTipBorder;
    frame_.BorderWidth = 1;
    surface_.Panel = &frame_;
}

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
    const int lineHeight = painter_->LineHeight(kTipFont);
    int width = 0;
    for (const std::string& line : lines) width = std::max(width, painter_->TextWidth(kTipFont, line));
    const PixelSize size{width + 2 * kPadding, static_cast<int>(lines.size()) * lineHeight + 2 * kPadding};

    labels_.assign(lines.size(), Label{});
    surface_.Labels.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Label& label = labels_[i];
        label.Rect = scale_.ToTwips(
            PixelRect{kPadding, kPadding + static_cast<int>(i) * lineHeight, width + kPadding, lineHeight});
        label.Caption = lines[i];
        label.ForeColor = kTipText;
        label.Font = kTipFont;
        surface_.Labels.push_back(&label);
    }
    frame_.Rect = scale_.ToTwips(PixelRect{0, 0, size.Width, size.Height});

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

void TipWindow::Repaint() { painter_->Paint(surface_, placement_.Width, placement_.Height); }

} // namespace platform::x11
