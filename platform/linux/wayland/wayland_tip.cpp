#include "platform/linux/wayland/wayland_tip.h"

#include "platform/linux/wayland/layer_shell_protocol.h"
#include "platform/tip_placement.h"

namespace platform::wayland {

struct TipListeners {
    static void Configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                          std::uint32_t height) {
        auto* tip = static_cast<TipLayer*>(data);
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        tip->width_ = static_cast<int>(width);
        tip->height_ = static_cast<int>(height);
        tip->configured_ = true;
    }
    // The compositor took the tip away (its output went): the next lines bring a new one.
    static void Closed(void* data, zwlr_layer_surface_v1*) { static_cast<TipLayer*>(data)->configured_ = false; }
    static constexpr zwlr_layer_surface_v1_listener kLayer{Configure, Closed};
};

void TipLayer::Show(const std::vector<std::string>& lines, const LayoutRect& panel, const Output& output) {
    if (layer_ && (output.Name != outputName_ || !configured_)) Hide(); // a layer stays on its output
    layout_ = std::make_unique<TipLayout>(lines, kLayoutDpi, painter_.LineHeight(TipLayout::kFont, kLayoutDpi),
                                          [this](const std::string& line) {
                                              return painter_.TextWidth(TipLayout::kFont, line, kLayoutDpi);
                                          });
    const LayoutRect& area = output.Area;
    const ScreenArea place = TipArea({panel.X, panel.Y, panel.Width, panel.Height}, layout_->Width(),
                                     layout_->Height(), {area.X, area.Y, area.Width, area.Height});
    const bool fresh = !layer_;
    if (fresh) {
        surface_ = wl_compositor_create_surface(connection_.Compositor());
        // The pointer passes through: the tip never takes it from what lies below.
        wl_region* nothing = wl_compositor_create_region(connection_.Compositor());
        wl_surface_set_input_region(surface_, nothing);
        wl_region_destroy(nothing);
        layer_ = zwlr_layer_shell_v1_get_layer_surface(connection_.LayerShell(), surface_, output.Handle,
                                                       ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "Ostravel details");
        zwlr_layer_surface_v1_add_listener(layer_, &TipListeners::kLayer, this);
        zwlr_layer_surface_v1_set_anchor(layer_, kAnchorTopLeft);
        zwlr_layer_surface_v1_set_exclusive_zone(layer_, kIgnoreExclusiveZones);
        outputName_ = output.Name;
    }
    const int width = layout_->Width();
    const int height = layout_->Height();
    zwlr_layer_surface_v1_set_size(layer_, width, height);
    zwlr_layer_surface_v1_set_margin(layer_, place.Y - area.Y, 0, 0, place.X - area.X);
    wl_surface_set_buffer_scale(surface_, output.Scale);
    if (fresh || width != width_ || height != height_) {
        // A new size comes back in a configure, which the first frame must wait for.
        configured_ = false;
        wl_surface_commit(surface_);
        connection_.Roundtrip();
        if (!configured_) {
            if (fresh) return; // no answer: the next lines try again
            width_ = width;
            height_ = height;
            configured_ = true;
        }
    }
    wl_buffer* frame = painter_.Paint(layout_->Contents(), width_ * output.Scale, height_ * output.Scale,
                                      kLayoutDpi * output.Scale);
    if (!frame) return;
    wl_surface_attach(surface_, frame, 0, 0);
    wl_surface_damage(surface_, 0, 0, width_, height_);
    wl_surface_commit(surface_);
    connection_.Flush();
}

void TipLayer::Hide() {
    if (layer_) zwlr_layer_surface_v1_destroy(layer_);
    if (surface_) wl_surface_destroy(surface_);
    layer_ = nullptr;
    surface_ = nullptr;
    configured_ = false;
    painter_.SurfaceGone();
    connection_.Flush();
}

} // namespace platform::wayland
