// The details tip on X11: a small override-redirect window of type tooltip beside the panel,
// kept on the panel's monitor and never over the panel.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/linux/gui/x11_display.h"
#include "platform/linux/gui/x11_painter.h"
#include "platform/linux/tip_layout.h"
#include "platform/toolkit.h"

namespace platform::x11 {

// Where a tip of `size` goes beside `panel` on `monitor` (see platform::TipArea).
PixelRect TipPlacement(const PixelRect& panel, PixelSize size, const PixelRect& monitor);

class TipWindow {
public:
    TipWindow(const Connection& connection, const Scale& scale);
    ~TipWindow();
    TipWindow(const TipWindow&) = delete;
    TipWindow& operator=(const TipWindow&) = delete;

    // Shows `lines` beside `panel` on `monitor`, or the new lines where it shows already.
    void Show(const std::vector<std::string>& lines, const PixelRect& panel, const PixelRect& monitor);
    void Hide();
    // Takes the tip's own events (its exposures); false for any other window's.
    bool Take(const XEvent& event);

private:
    void Create();
    void Repaint();

    const Connection& connection_;
    Scale scale_;
    ::Window window_ = 0; // made when first shown
    std::unique_ptr<Painter> painter_;
    std::unique_ptr<TipLayout> layout_; // the lines shown
    PixelRect placement_;
    bool shown_ = false;
};

} // namespace platform::x11
