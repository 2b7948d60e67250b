// platform::Window on a Wayland compositor with the layer-shell protocol: the panel is a layer
// surface of its own size, anchored at the top-left corner of the output that holds it, with the
// placement as its margins; on top in the overlay layer, released in the bottom layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/wayland/wayland_display.h"
#include "platform/linux/wayland/wayland_painter.h"
#include "platform/linux/wayland/wayland_tip.h"
#include "platform/toolkit.h"

struct zwlr_layer_surface_v1;

namespace platform::wayland {

// The layout's logical pixels are 96 to the inch: 15 twips each, at any output scale.
int LayoutFromTwips(int twips);
int TwipsFromLayout(int pixels);
int TwipsFromLayout(double pixels); // a pointer's position within a pixel
LayoutRect LayoutFromTwips(const TwipsRect& rect);
TwipsRect TwipsFromLayout(const LayoutRect& rect);

// The kernel's button code (BTN_LEFT...) in the toolkit's codes, 0 for others; and back.
int ButtonCodeOfWayland(std::uint32_t button);
std::uint32_t WaylandButtonOfCode(int code);

// Where a drag puts the panel: `start` moved by the pointer's motion and kept on `area`.
LayoutRect DraggedTo(const LayoutRect& start, double dx, double dy, const LayoutRect& area);

class LayerWindow final : public platform::Window {
public:
    // Throws platform::Error when no compositor answers or it lacks a protocol the panel needs,
    // naming it (zwlr_layer_shell_v1 on GNOME and weston).
    explicit LayerWindow(const WindowDesign& request);
    ~LayerWindow() override;

    void Show() override;
    void Invalidate() override { repaint_ = true; }
    void DoEvents(WindowEvents& events) override;
    WindowState State() override { return WindowState::Normal; } // layers are never minimised
    TwipsRect Placement() override { return TwipsFromLayout(placement_); }
    void SetPlacement(const TwipsRect& placement) override;
    TwipsRect PrimaryScreen() override;
    std::vector<TwipsRect> Monitors() override;
    double Dpi() override;
    PixelSize LargestSize() override;
    void SetTopmost(bool topmost) override;
    void ReleaseCapture() override {} // the compositor ends the press's grab by itself
    void BeginMove(int button) override;
    std::int16_t GetAsyncKeyState(int virtualKey) override;
    void ShowTip(const std::vector<std::string>& lines) override;
    void HideTip() override;

private:
    friend struct LayerListeners;
    void CreateSurface();
    void DestroySurface();
    void WantKeyboard(bool wanted);
    void FollowOutputs();
    void Configure(std::uint32_t serial, std::uint32_t width, std::uint32_t height);
    void PlaceOnOutput();
    void Present();
    const Output* PanelOutput() const;

    Connection connection_;
    std::string title_;
    const Surface* contents_;
    Painter painter_;
    std::unique_ptr<TipLayer> tip_; // made when first shown
    LayoutRect placement_; // where the panel is in the layout; the size is the one asked for
    std::uint32_t outputName_ = 0; // the output the layer surface is on
    int scale_ = 1;                // the buffer scale it is drawn at
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    int configuredWidth_ = 0;
    int configuredHeight_ = 0;
    bool shown_ = false;
    bool configured_ = false;
    bool closed_ = false; // the compositor closed the layer surface
    bool topmost_ = false;
    bool keyboardWanted_ = false;
    bool repaint_ = true;
    bool keysRead_ = false; // this turn's keys have read the compositor's events
};

} // namespace platform::wayland
