// platform::Window on a Wayland compositor with the layer-shell protocol: the panel is a layer
// surface of its own size, anchored at the top-left corner of the output that holds it, with the
// placement as its margins; on top in the overlay layer, released in the bottom layer.
#include "platform/linux/wayland/wayland_window.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cmath>

#include "platform/process.h"
#include "platform/twips.h"
#include "platform/linux/wayland/layer_shell_protocol.h"

namespace platform::wayland {

namespace {

constexpr std::uint32_t kSetLayerSince = 2;

bool SharesArea(const LayoutRect& a, const LayoutRect& b) {
    return std::min(a.X + a.Width, b.X + b.Width) > std::max(a.X, b.X) &&
           std::min(a.Y + a.Height, b.Y + b.Height) > std::max(a.Y, b.Y);
}

} // namespace

int LayoutFromTwips(int twips) { return PixelsFromTwips(twips, kLayoutDpi); }
int TwipsFromLayout(int pixels) { return TwipsFromPixels(pixels, kLayoutDpi); }
int TwipsFromLayout(double pixels) { return static_cast<int>(std::lround(pixels * kTwipsPerInch / kLayoutDpi)); }

LayoutRect LayoutFromTwips(const TwipsRect& rect) {
    return {LayoutFromTwips(rect.Left), LayoutFromTwips(rect.Top), LayoutFromTwips(rect.Width),
            LayoutFromTwips(rect.Height)};
}

TwipsRect TwipsFromLayout(const LayoutRect& rect) {
    return TwipsRectFromPixels(rect.X, rect.Y, rect.Width, rect.Height, kLayoutDpi);
}

int ButtonCodeOfWayland(std::uint32_t button) {
    switch (button) {
    case BTN_LEFT: return kButtonLeft;
    case BTN_MIDDLE: return kButtonMiddle;
    case BTN_RIGHT: return kButtonRight;
    default: return 0;
    }
}

std::uint32_t WaylandButtonOfCode(int code) {
    switch (code) {
    case kButtonLeft: return BTN_LEFT;
    case kButtonMiddle: return BTN_MIDDLE;
    case kButtonRight: return BTN_RIGHT;
    default: return 0;
    }
}

LayoutRect DraggedTo(const LayoutRect& start, double dx, double dy, const LayoutRect& area) {
    LayoutRect moved = start;
    moved.X = start.X + static_cast<int>(std::lround(dx));
    moved.Y = start.Y + static_cast<int>(std::lround(dy));
    return KeptWithin(moved, area);
}

struct LayerListeners {
    static void Configure(void* data, zwlr_layer_surface_v1*, std::uint32_t serial, std::uint32_t width,
                          std::uint32_t height) {
        static_cast<LayerWindow*>(data)->Configure(serial, width, height);
    }
    static void Closed(void* data, zwlr_layer_surface_v1*) { static_cast<LayerWindow*>(data)->closed_ = true; }
    static constexpr zwlr_layer_surface_v1_listener kLayer{Configure, Closed};
};

LayerWindow::LayerWindow(const WindowDesign& request)
    : title_(request.Title), contents_(request.Contents), painter_(connection_.Shm()) {
    if (!connection_.LayerShell()) throw Error("the compositor offers no zwlr_layer_shell_v1");
    placement_ = LayoutFromTwips(request.Placement);
    placement_.Width = std::max(1, placement_.Width);
    placement_.Height = std::max(1, placement_.Height);
    connection_.Keyboard().Watch(request.Keys);
}

LayerWindow::~LayerWindow() { DestroySurface(); }

const Output* LayerWindow::PanelOutput() const {
    if (const Output* output = connection_.OutputNamed(outputName_)) return output;
    return OutputHolding(placement_, connection_.Outputs());
}

void LayerWindow::Show() {
    shown_ = true;
    CreateSurface();
    // The compositor answers the first commit with the size to draw at.
    connection_.Roundtrip();
    Present();
    connection_.Flush();
}

void LayerWindow::CreateSurface() {
    const std::vector<const Output*> outputs = connection_.Outputs();
    const Output* output = OutputHolding(placement_, outputs);
    if (!output) return; // no output to show on: one that comes brings the panel
    // A placement off every output would leave the panel out of reach.
    if (!SharesArea(placement_, output->Area)) placement_ = CentredOn(placement_, output->Area);
    outputName_ = output->Name;
    scale_ = output->Scale;
    surface_ = wl_compositor_create_surface(connection_.Compositor());
    connection_.WatchPointerOn(surface_);
    const std::uint32_t layer = topmost_ ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BOTTOM;
    layer_ = zwlr_layer_shell_v1_get_layer_surface(connection_.LayerShell(), surface_, output->Handle, layer,
                                                   title_.c_str());
    zwlr_layer_surface_v1_add_listener(layer_, &LayerListeners::kLayer, this);
    zwlr_layer_surface_v1_set_anchor(layer_, kAnchorTopLeft);
    zwlr_layer_surface_v1_set_exclusive_zone(layer_, kIgnoreExclusiveZones);
    keyboardWanted_ = false; // never on appearing: the user's work keeps the keyboard
    PlaceOnOutput();
    wl_surface_set_buffer_scale(surface_, scale_);
    configured_ = false;
    closed_ = false;
    repaint_ = true;
    wl_surface_commit(surface_);
}

// The keyboard is the panel's from a click on it until the pointer leaves it. Asked for as
// exclusive, the compositor hands it over at once; on-demand would wait for another click where
// the protocol is followed, and sway 1.7 takes on-demand as exclusive anyway, focusing the panel
// when it appears and keeping the keyboard from every window clicked later.
void LayerWindow::WantKeyboard(bool wanted) {
    if (!layer_ || wanted == keyboardWanted_) return;
    keyboardWanted_ = wanted;
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layer_, wanted ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE
                       : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    wl_surface_commit(surface_);
}

void LayerWindow::DestroySurface() {
    if (tip_) tip_->Hide();
    if (layer_) zwlr_layer_surface_v1_destroy(layer_);
    if (surface_) wl_surface_destroy(surface_);
    layer_ = nullptr;
    surface_ = nullptr;
    painter_.SurfaceGone();
    connection_.WatchPointerOn(nullptr);
    connection_.PointerEvents().clear();
    configured_ = false;
}

// Size and margins from the placement; the next commit applies them.
void LayerWindow::PlaceOnOutput() {
    const Output* output = connection_.OutputNamed(outputName_);
    if (!layer_ || !output) return;
    zwlr_layer_surface_v1_set_size(layer_, placement_.Width, placement_.Height);
    zwlr_layer_surface_v1_set_margin(layer_, placement_.Y - output->Area.Y, 0, 0, placement_.X - output->Area.X);
}

void LayerWindow::Configure(std::uint32_t serial, std::uint32_t width, std::uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layer_, serial);
    const int drawnWidth = width ? static_cast<int>(width) : placement_.Width;
    const int drawnHeight = height ? static_cast<int>(height) : placement_.Height;
    if (!configured_ || drawnWidth != configuredWidth_ || drawnHeight != configuredHeight_) repaint_ = true;
    configuredWidth_ = drawnWidth;
    configuredHeight_ = drawnHeight;
    configured_ = true;
}

void LayerWindow::Present() {
    if (!layer_ || !configured_ || !repaint_ || !contents_) return;
    wl_buffer* frame =
        painter_.Paint(*contents_, configuredWidth_ * scale_, configuredHeight_ * scale_, kLayoutDpi * scale_);
    if (!frame) return; // the compositor holds every buffer: the next turn draws
    wl_surface_attach(surface_, frame, 0, 0);
    wl_surface_damage(surface_, 0, 0, configuredWidth_, configuredHeight_);
    wl_surface_commit(surface_);
    repaint_ = false;
}

// Outputs come and go: a panel whose output went is shown again on the first one, centred, as a
// restored placement off every monitor is; a scale that changed draws the panel again.
void LayerWindow::FollowOutputs() {
    if (!shown_) return;
    const Output* output = connection_.OutputNamed(outputName_);
    if (layer_ && output) {
        if (output->Scale != scale_) {
            // The new scale goes with a frame drawn for it, in the same commit.
            scale_ = output->Scale;
            wl_surface_set_buffer_scale(surface_, scale_);
            repaint_ = true;
            Present();
        }
        return;
    }
    DestroySurface();
    const std::vector<const Output*> outputs = connection_.Outputs();
    if (outputs.empty()) return;
    placement_ = CentredOn(placement_, outputs.front()->Area);
    CreateSurface();
}

void LayerWindow::DoEvents(WindowEvents& events) {
    keysRead_ = false;
    connection_.Dispatch();
    if (closed_) {
        // An output that goes closes its layers first: the answer to a round trip tells whether
        // the compositor removed it, or closed the panel for the user.
        closed_ = false;
        connection_.Roundtrip();
        if (connection_.OutputNamed(outputName_)) {
            DestroySurface();
            events.CloseRequested();
            return;
        }
        DestroySurface();
    }
    FollowOutputs();
    auto& pointer = connection_.PointerEvents();
    while (!pointer.empty()) {
        const PointerEvent event = pointer.front();
        pointer.pop_front();
        if (event.What == PointerEvent::Kind::Enter) events.PointerEntered();
        if (event.What == PointerEvent::Kind::Leave) {
            WantKeyboard(false);
            events.PointerLeft();
        }
        const int button = ButtonCodeOfWayland(event.Button);
        if (event.What != PointerEvent::Kind::Press || !button) continue;
        WantKeyboard(true);
        events.MouseDown(button, connection_.Keyboard().Shift(), TwipsFromLayout(event.X), TwipsFromLayout(event.Y));
    }
    Present();
    connection_.Flush();
}

void LayerWindow::SetPlacement(const TwipsRect& placement) {
    LayoutRect wanted = LayoutFromTwips(placement);
    wanted.Width = std::max(1, wanted.Width);
    wanted.Height = std::max(1, wanted.Height);
    const bool resized = wanted.Width != placement_.Width || wanted.Height != placement_.Height;
    placement_ = wanted;
    if (!layer_) return; // created where it is to be, when shown
    const Output* holder = OutputHolding(placement_, connection_.Outputs());
    if (holder && holder->Name != outputName_) {
        // A layer surface stays on its output: another output takes a new one.
        DestroySurface();
        CreateSurface();
    } else {
        PlaceOnOutput();
        if (resized) repaint_ = true;
        wl_surface_commit(surface_);
    }
    connection_.Flush();
}

TwipsRect LayerWindow::PrimaryScreen() {
    const std::vector<const Output*> outputs = connection_.Outputs();
    return outputs.empty() ? TwipsRect{} : TwipsFromLayout(outputs.front()->Area);
}

std::vector<TwipsRect> LayerWindow::Monitors() {
    std::vector<TwipsRect> monitors;
    for (const Output* output : connection_.Outputs()) monitors.push_back(TwipsFromLayout(output->Area));
    return monitors;
}

double LayerWindow::Dpi() {
    const Output* output = PanelOutput();
    return kLayoutDpi * (output ? output->Scale : 1);
}

PixelSize LayerWindow::LargestSize() {
    // The whole layout in the panel output's pixels.
    int left = 0, top = 0, right = 0, bottom = 0;
    bool first = true;
    for (const Output* output : connection_.Outputs()) {
        const LayoutRect& area = output->Area;
        left = first ? area.X : std::min(left, area.X);
        top = first ? area.Y : std::min(top, area.Y);
        right = first ? area.X + area.Width : std::max(right, area.X + area.Width);
        bottom = first ? area.Y + area.Height : std::max(bottom, area.Y + area.Height);
        first = false;
    }
    const int scale = static_cast<int>(Dpi() / kLayoutDpi);
    return {(right - left) * scale, (bottom - top) * scale};
}

void LayerWindow::SetTopmost(bool topmost) {
    topmost_ = topmost;
    if (!layer_) return; // created in its layer when shown
    if (connection_.LayerShellVersion() >= kSetLayerSince) {
        zwlr_layer_surface_v1_set_layer(
            layer_, topmost_ ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BOTTOM);
        wl_surface_commit(surface_);
    } else {
        DestroySurface();
        CreateSurface();
    }
    connection_.Flush();
}

void LayerWindow::BeginMove(int button) {
    const std::uint32_t held = WaylandButtonOfCode(button);
    const Output* output = connection_.OutputNamed(outputName_);
    if (!held || !layer_ || !output || !connection_.HasRelativePointer()) return;
    // The events after the press, queued or still to come, until its release: the motion made
    // before the program read the press counts too.
    const LayoutRect start = placement_;
    const std::uint32_t outputName = outputName_;
    double dx = 0, dy = 0;
    bool down = true;
    auto& pointer = connection_.PointerEvents();
    while (down) {
        bool moved = false;
        while (!pointer.empty() && down) {
            const PointerEvent event = pointer.front();
            pointer.pop_front();
            if (event.What == PointerEvent::Kind::Motion) {
                dx += event.Dx;
                dy += event.Dy;
                moved = true;
            } else if (event.What == PointerEvent::Kind::Release && event.Button == held) {
                down = false;
            } else if (event.What == PointerEvent::Kind::Leave) {
                down = false;
                WantKeyboard(false);
            }
        }
        output = connection_.OutputNamed(outputName);
        if (!output || !layer_) return; // the output went: the next turn places the panel again
        if (moved) {
            const LayoutRect to = DraggedTo(start, dx, dy, output->Area);
            // What the edge held back is not owed: moving back moves the panel at once.
            dx = to.X - start.X;
            dy = to.Y - start.Y;
            if (!(to == placement_)) {
                placement_ = to;
                PlaceOnOutput();
                wl_surface_commit(surface_);
            }
        }
        if (down) connection_.Dispatch(-1);
    }
    connection_.Flush();
}

void LayerWindow::ShowTip(const std::vector<std::string>& lines) {
    const Output* output = connection_.OutputNamed(outputName_);
    if (!layer_ || !output) return;
    if (!tip_) tip_ = std::make_unique<TipLayer>(connection_);
    tip_->Show(lines, placement_, *output);
}

void LayerWindow::HideTip() {
    if (tip_) tip_->Hide();
}

std::int16_t LayerWindow::GetAsyncKeyState(int virtualKey) {
    if (!keysRead_) {
        // The keys that came since the last turn: one read per turn, so a chord's two keys
        // are read from the same moment.
        connection_.Dispatch();
        keysRead_ = true;
    }
    return connection_.Keyboard().Take(virtualKey);
}

} // namespace platform::wayland

