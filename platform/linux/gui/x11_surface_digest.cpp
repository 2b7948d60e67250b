#include "platform/linux/gui/x11_surface_digest.h"

#include <cstring>

namespace platform::x11 {
namespace {

template <typename T> void Append(std::string& digest, const T& value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    digest.append(bytes, sizeof(T));
}

void Append(std::string& digest, const std::string& text) {
    Append(digest, text.size());
    digest += text;
}

void Append(std::string& digest, const TwipsRect& rect) {
    Append(digest, rect.Left);
    Append(digest, rect.Top);
    Append(digest, rect.Width);
    Append(digest, rect.Height);
}

} // namespace

std::string SurfaceDigest(const Surface& surface) {
    std::string digest;
    digest.reserve(256);
    if (surface.Panel) {
        Append(digest, surface.Panel->Rect);
        Append(digest, surface.Panel->FillColor);
        Append(digest, surface.Panel->BorderColor);
        Append(digest, surface.Panel->BorderWidth);
    }
    Append(digest, surface.Labels.size());
    for (const Label* label : surface.Labels) {
        if (!label) continue;
        Append(digest, label->Rect);
        Append(digest, label->Caption);
        Append(digest, label->ForeColor);
        Append(digest, label->Font.Name);
        Append(digest, label->Font.Size);
        Append(digest, label->Font.Weight);
        Append(digest, label->Font.Charset);
        Append(digest, label->Alignment);
    }
    Append(digest, surface.Pictures.size());
    for (const Picture* picture : surface.Pictures) {
        if (!picture) continue;
        Append(digest, picture->Rect);
        Append(digest, picture->Source);
        Append(digest, picture->Visible);
    }
    return digest;
}

} // namespace platform::x11
