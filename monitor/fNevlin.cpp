// The window at its creation: its controls with their design-time properties, and its window.
#include "monitor/fNevlin.h"

#include <iostream>
#include <stdexcept>
#include <utility>

namespace {

constexpr platform::Colour kBlue = 0x00FF0000;
constexpr platform::Colour kDarkRed = 0x00000080;
constexpr int kCyrillic = 204;

const std::string kFormName = "fNevlin";

platform::Label MakeLabel(platform::TwipsRect rect, std::string caption, platform::Colour colour,
                          platform::FontSpec font, platform::TextAlign alignment) {
    platform::Label label;
    label.Rect = rect;
    label.Caption = std::move(caption);
    label.ForeColor = colour;
    label.Font = std::move(font);
    label.Alignment = alignment;
    return label;
}

platform::Picture MakePicture(const platform::Image* source, bool visible) {
    return platform::Picture{{1120, 70, 480, 480}, source, visible};
}

void RequireServices(NevlinServices& services) {
    if (!services.OpenWindow || !services.Settings || !services.GetSystemPowerStatus || !services.Sleep ||
        !services.ApplicationName) {
        throw std::invalid_argument("fNevlin needs a window, a settings store, a power query, a sleep "
                                    "and an application name");
    }
    if (!services.Errors) services.Errors = &std::cerr;
}

} // namespace

fNevlin::fNevlin(NevlinServices services) : services_(std::move(services)) {
    RequireServices(services_);

    // Created from the bottom of the drawing order upwards.
    controls_.Shape1 = platform::Shape{{0, 0, 1680, 625}, 0x00E0E0E0, 0x00C00000, 3};
    controls_.Label1 = MakeLabel({110, 40, 555, 300}, "100", kBlue, {"Arial", 15.75, 700, kCyrillic},
                                 platform::TextAlign::Right);
    controls_.Label2 = MakeLabel({720, 40, 280, 300}, "%", kBlue, {"Arial", 15.75, 400, kCyrillic},
                                 platform::TextAlign::Right);
    controls_.Label3 = MakeLabel({90, 360, 1020, 195}, "От батареи", kDarkRed,
                                 {"Verdana", 8.25, 400, kCyrillic}, platform::TextAlign::Center);
    controls_.Image1[0] = MakePicture(services_.ChargingPicture, false);
    controls_.Image1[1] = MakePicture(services_.MainsPicture, true);
    controls_.Image1[2] = MakePicture(services_.BatteryPicture, false);

    surface_.Panel = &controls_.Shape1;
    surface_.Labels = {&controls_.Label1, &controls_.Label2, &controls_.Label3};
    surface_.Pictures = {&controls_.Image1[0], &controls_.Image1[1], &controls_.Image1[2]};

    platform::WindowDesign design;
    design.Title = "Ostravel";
    design.Icons = services_.Icons;
    design.Placement = {0, 0, 1680, 630};
    design.Contents = &surface_;
    window_ = services_.OpenWindow(design);
    if (!window_) throw std::runtime_error("cannot open the window");
}

fNevlin::~fNevlin() = default;

const std::string& fNevlin::Name() const { return kFormName; }

// Setters that note whether the window has anything new to draw.

void fNevlin::SetCaption(platform::Label& label, std::string caption) {
    if (label.Caption == caption) return;
    label.Caption = std::move(caption);
    contentsChanged_ = true;
}

void fNevlin::SetForeColor(platform::Label& label, platform::Colour colour) {
    if (label.ForeColor == colour) return;
    label.ForeColor = colour;
    contentsChanged_ = true;
}

void fNevlin::SetVisible(platform::Picture& picture, bool visible) {
    if (picture.Visible == visible) return;
    picture.Visible = visible;
    contentsChanged_ = true;
}
