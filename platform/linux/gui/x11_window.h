// platform::Window on X11: one managed top-level window without frame or taskbar entry.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "platform/linux/gui/x11_connection.h"
#include "platform/linux/gui/x11_keyboard.h"
#include "platform/linux/gui/x11_painter.h"
#include "platform/linux/gui/x11_scale.h"
#include "platform/toolkit.h"

namespace platform::x11 {

class X11Window final : public platform::Window {
public:
    explicit X11Window(const WindowDesign& request);
    ~X11Window() override;

    void Show() override;
    void Invalidate() override;
    void DoEvents(WindowEvents& events) override;
    WindowState State() override;
    TwipsRect Placement() override;
    void SetPlacement(const TwipsRect& placement) override;
    TwipsRect PrimaryScreen() override;
    std::vector<TwipsRect> Monitors() override;
    double Dpi() override { return scale_.Dpi(); }
    PixelSize LargestSize() override;
    void SetTopmost(bool topmost) override;
    void ReleaseCapture() override;
    void BeginMove(int button) override;
    std::int16_t GetAsyncKeyState(int virtualKey) override;

private:
    void Handle(XEvent& event, WindowEvents& events);
    void KeepOnTop(const XVisibilityEvent& visibility);
    void Repaint();

    Connection connection_;
    Scale scale_;
    ::Window window_ = 0;
    const Surface* contents_;
    std::unique_ptr<Painter> painter_;
    std::unique_ptr<linux_detail::X11Keyboard> keyboard_; // null when the server has no XInput 2
    int width_ = 0;
    int height_ = 0;
    bool shown_ = false;
    bool topmost_ = false;
    bool exposed_ = false;
    bool invalidated_ = false;
    std::string drawn_; // what the last paint showed, to skip paints that change nothing
};

} // namespace platform::x11
