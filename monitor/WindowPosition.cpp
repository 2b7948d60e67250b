// The window's size and position, kept in the user's settings between runs.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "monitor/fNevlin.h"
#include "platform/message_text.h"
#include "platform/twips.h"

namespace {

int RoundedTwips(float twips) { return static_cast<int>(std::lround(twips)); }

// Rounding a value inside these bounds always fits an int.
bool FitsTwips(float twips) { return twips >= -2147483648.0f && twips < 2147483520.0f; }

std::int64_t Overlap(std::int64_t start1, std::int64_t length1, std::int64_t start2, std::int64_t length2) {
    const std::int64_t start = std::max(start1, start2);
    const std::int64_t end = std::min(start1 + length1, start2 + length2);
    return std::max<std::int64_t>(0, end - start);
}

bool SharesArea(const platform::TwipsRect& a, const platform::TwipsRect& b) {
    return Overlap(a.Left, a.Width, b.Left, b.Width) > 0 && Overlap(a.Top, a.Height, b.Top, b.Height) > 0;
}

// A window with no frame and no taskbar button that lies beside every monitor can't be reached.
bool ReachableOnSomeMonitor(const platform::TwipsRect& placement, const std::vector<platform::TwipsRect>& monitors,
                            const platform::TwipsRect& primary) {
    if (monitors.empty()) return SharesArea(placement, primary);
    for (const platform::TwipsRect& monitor : monitors) {
        if (SharesArea(placement, monitor)) return true;
    }
    return false;
}

// A size the window system refuses stops every start, and one under a pixel leaves no window
// to grow: both are judged in whole pixels at the window's dpi, as the window would get them.
std::function<std::string(float)> PixelSizeProblem(double dpi, int largestPixels) {
    return [dpi, largestPixels](float twips) -> std::string {
        const int pixels = platform::PixelsFromTwips(RoundedTwips(twips), dpi);
        const std::string size = std::to_string(pixels) + " px at " +
                                 std::to_string(static_cast<int>(std::lround(dpi))) + " dpi";
        if (pixels < 1) return size + ", less than one pixel";
        if (pixels > largestPixels)
            return size + ", more than the " + std::to_string(largestPixels) + " px a window can have here";
        return {};
    };
}

float CentredStart(int screenStart, int screenLength, float length) {
    return static_cast<float>(screenStart) + (static_cast<float>(screenLength) - length) / 2;
}

} // namespace

void fNevlin::WindowPosition(fNevlin& frmName, bool blnSavePostion) {
    const std::string application = services_.ApplicationName();
    platform::Window& window = frmName.Window();
    if (window.State() != platform::WindowState::Normal) return;
    const std::string section = frmName.Name() + " Pos";
    const platform::TwipsRect current = window.Placement();
    platform::SettingsStore& store = *services_.Settings;

    if (blnSavePostion) {
        // One change of the store: a crash mid-save leaves the old placement or the new one.
        store.SaveSettings(application, section,
                           {{"Height", TwipsText(static_cast<float>(current.Height))},
                            {"Width", TwipsText(static_cast<float>(current.Width))},
                            {"Left", TwipsText(static_cast<float>(current.Left))},
                            {"Top", TwipsText(static_cast<float>(current.Top))}});
        return;
    }

    // Each key falls back on its own; the centring defaults use the size just restored.
    const platform::TwipsRect screen = window.PrimaryScreen();
    const double dpi = window.Dpi();
    const platform::PixelSize largest = window.LargestSize();
    const float height = RestoredValue(application, section, "Height", static_cast<float>(current.Height),
                                       PixelSizeProblem(dpi, largest.Height));
    const float width = RestoredValue(application, section, "Width", static_cast<float>(current.Width),
                                      PixelSizeProblem(dpi, largest.Width));
    const float left =
        RestoredValue(application, section, "Left", CentredStart(screen.Left, screen.Width, width), nullptr);
    const float top =
        RestoredValue(application, section, "Top", CentredStart(screen.Top, screen.Height, height), nullptr);

    platform::TwipsRect restored{RoundedTwips(left), RoundedTwips(top), RoundedTwips(width), RoundedTwips(height)};
    if (!ReachableOnSomeMonitor(restored, window.Monitors(), screen)) {
        restored.Left = RoundedTwips(CentredStart(screen.Left, screen.Width, width));
        restored.Top = RoundedTwips(CentredStart(screen.Top, screen.Height, height));
    }
    window.SetPlacement(restored);
}

// A stored value that can't be a placement would fail every start until edited by hand:
// that key takes its default instead, and the stored text stays until the next save.
float fNevlin::RestoredValue(const std::string& application, const std::string& section, const char* key,
                             float defaultValue, const std::function<std::string(float)>& problemOf) {
    const std::string defaultText = TwipsText(defaultValue);
    const std::string text = services_.Settings->GetSetting(application, section, key, defaultText);
    if (text == defaultText) return defaultValue;

    const std::optional<float> value = TwipsValue(text);
    std::string problem;
    if (!value || !FitsTwips(*value)) {
        problem = "not a number of twips";
    } else if (problemOf) {
        problem = problemOf(*value);
    }
    if (problem.empty()) return *value;
    if (services_.Warn) {
        services_.Warn(services_.Settings->Location(application) + ": ignoring [" + section + "] " + key + " = " +
                       platform::QuotedForMessage(text) + " (" + problem + "), using " + defaultText);
    }
    return defaultValue;
}
