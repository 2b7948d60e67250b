#include "platform/linux/tip_layout.h"

#include <algorithm>

#include "platform/twips.h"

namespace platform {
namespace {

constexpr int kPadding = 4; // pixels around the text
constexpr Colour kFill = 0x00E1FFFF;   // pale yellow
constexpr Colour kBorder = 0x00808080; // grey
constexpr Colour kText = 0x00000000;

} // namespace

const FontSpec TipLayout::kFont{"Verdana", 8.25, 400, kCharsetCyrillic};

TipLayout::TipLayout(const std::vector<std::string>& lines, double dpi, int lineHeight,
                     const std::function<int(const std::string&)>& textWidth) {
    int textColumn = 0;
    for (const std::string& line : lines) textColumn = std::max(textColumn, textWidth(line));
    width_ = textColumn + 2 * kPadding;
    height_ = static_cast<int>(lines.size()) * lineHeight + 2 * kPadding;

    labels_.assign(lines.size(), Label{});
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Label& label = labels_[i];
        label.Rect = TwipsRectFromPixels(kPadding, kPadding + static_cast<int>(i) * lineHeight, textColumn + kPadding, lineHeight, dpi);
        label.Caption = lines[i];
        label.ForeColor = kText;
        label.Font = kFont;
        surface_.Labels.push_back(&label);
    }
    frame_.Rect = TwipsRectFromPixels(0, 0, width_, height_, dpi);
    frame_.FillColor = kFill;
    frame_.BorderColor = kBorder;
    frame_.BorderWidth = 1;
    surface_.Panel = &frame_;
}

} // namespace platform
