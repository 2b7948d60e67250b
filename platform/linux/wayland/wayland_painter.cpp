// Drawing a Surface with cairo into shared memory the compositor reads: the buffers, the labels'
// fonts found through fontconfig as the X11 painter finds them, and the layout at a dpi.
#include "platform/linux/wayland/wayland_painter.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/linux/font_request.h"
#include "platform/picture_scale.h"
#include "platform/process.h"
#include "platform/twips.h"

namespace platform::wayland {

namespace {

// The desktop's standard window background, as on X11.
constexpr Colour kWindowBackground = 0x00FFFFFF;

void AddBoolUnlessSet(FcPattern* pattern, const char* object, FcBool value) {
    FcValue set;
    if (FcPatternGet(pattern, object, 0, &set) == FcResultNoMatch) FcPatternAddBool(pattern, object, value);
}

// The face Xft would open for the request: the same pattern, the configuration's substitutions,
// then Xft's defaults for what they leave open (hinted, no autohinter).
FcPattern* MatchedFont(const FontSpec& request, double pixels) {
    FcPattern* pattern = FontRequestPattern(request, pixels);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    AddBoolUnlessSet(pattern, FC_HINTING, FcTrue);
    AddBoolUnlessSet(pattern, FC_AUTOHINT, FcFalse);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    return match;
}

void SetColour(cairo_t* cairo, Colour colour) {
    cairo_set_source_rgb(cairo, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                         ((colour >> 16) & 0xFF) / 255.0);
}

struct PixelBox {
    int X, Y, Width, Height;
};

PixelBox ToPixels(const TwipsRect& rect, double dpi) {
    return {PixelsFromTwips(rect.Left, dpi), PixelsFromTwips(rect.Top, dpi), PixelsFromTwips(rect.Width, dpi),
            PixelsFromTwips(rect.Height, dpi)};
}

bool Complete(const Image& image) {
    return image.Width > 0 && image.Height > 0 &&
           image.Pixels.size() >= static_cast<std::size_t>(image.Width) * image.Height;
}

} // namespace

FontCache::~FontCache() {
    for (auto& [key, font] : fonts_) cairo_scaled_font_destroy(font);
}

cairo_scaled_font_t* FontCache::Get(const FontSpec& request, double dpi) {
    const auto key = std::make_tuple(request.Name, request.Size, request.Weight, request.Charset, dpi);
    if (auto found = fonts_.find(key); found != fonts_.end()) return found->second;

    const double pixels = FontPixels(request.Size, dpi);
    FcPattern* match = MatchedFont(request, pixels);
    if (!match) throw Error("no font found for \"" + request.Name + "\"");
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
    cairo_matrix_t size, device;
    cairo_matrix_init_scale(&size, pixels, pixels);
    cairo_matrix_init_identity(&device);
    // Whole-pixel advances, as Xft measures: right-aligned numbers end on the same pixel.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_scaled_font_t* font = cairo_scaled_font_create(face, &size, &device, options);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(face);
    if (cairo_scaled_font_status(font) != CAIRO_STATUS_SUCCESS) {
        cairo_scaled_font_destroy(font);
        throw Error("no font found for \"" + request.Name + "\"");
    }
    fonts_.emplace(key, font);
    return font;
}

void SurfaceDrawing::Draw(cairo_t* cairo, const Surface& surface, int width, int height, double dpi) {
    cairo_save(cairo);
    SetColour(cairo, kWindowBackground);
    cairo_rectangle(cairo, 0, 0, width, height);
    cairo_fill(cairo);
    if (surface.Panel) DrawShape(cairo, *surface.Panel, dpi);
    for (const Label* label : surface.Labels)
        if (label) DrawLabel(cairo, *label, dpi);
    for (const Picture* picture : surface.Pictures)
        if (picture && picture->Visible && picture->Source) DrawPicture(cairo, *picture, dpi);
    cairo_restore(cairo);
}

void SurfaceDrawing::DrawShape(cairo_t* cairo, const Shape& shape, double dpi) {
    const PixelBox box = ToPixels(shape.Rect, dpi);
    if (box.Width <= 0 || box.Height <= 0) return;
    SetColour(cairo, shape.FillColor);
    cairo_rectangle(cairo, box.X, box.Y, box.Width, box.Height);
    cairo_fill(cairo);
    if (shape.BorderWidth <= 0) return;
    // The outline is centred on the path through the edge pixels' centres, as an X wide line
    // is: the outer half of it falls outside the rectangle.
    SetColour(cairo, shape.BorderColor);
    cairo_set_line_width(cairo, shape.BorderWidth);
    cairo_set_line_join(cairo, CAIRO_LINE_JOIN_MITER);
    cairo_rectangle(cairo, box.X + 0.5, box.Y + 0.5, box.Width - 1, box.Height - 1);
    cairo_stroke(cairo);
}

int SurfaceDrawing::TextWidth(const FontSpec& font, const std::string& text, double dpi) {
    cairo_text_extents_t extents{};
    cairo_scaled_font_text_extents(fonts_.Get(font, dpi), text.c_str(), &extents);
    return static_cast<int>(std::lround(extents.x_advance));
}

int SurfaceDrawing::LineHeight(const FontSpec& font, double dpi) {
    cairo_font_extents_t extents{};
    cairo_scaled_font_extents(fonts_.Get(font, dpi), &extents);
    return static_cast<int>(std::lround(extents.ascent) + std::lround(extents.descent));
}

void SurfaceDrawing::DrawLabel(cairo_t* cairo, const Label& label, double dpi) {
    if (label.Caption.empty()) return;
    const PixelBox box = ToPixels(label.Rect, dpi);
    if (box.Width <= 0 || box.Height <= 0) return;
    cairo_set_scaled_font(cairo, fonts_.Get(label.Font, dpi));
    cairo_text_extents_t text{};
    cairo_text_extents(cairo, label.Caption.c_str(), &text);
    cairo_font_extents_t font{};
    cairo_font_extents(cairo, &font);
    const int advance = static_cast<int>(std::lround(text.x_advance));
    int x = box.X;
    if (label.Alignment == TextAlign::Right) x = box.X + box.Width - advance;
    if (label.Alignment == TextAlign::Center) x = box.X + (box.Width - advance) / 2;
    cairo_save(cairo);
    cairo_rectangle(cairo, box.X, box.Y, box.Width, box.Height);
    cairo_clip(cairo);
    SetColour(cairo, label.ForeColor);
    // The text starts at the label's top edge: its baseline one ascent below.
    cairo_move_to(cairo, x, box.Y + std::lround(font.ascent));
    cairo_show_text(cairo, label.Caption.c_str());
    cairo_restore(cairo);
}

cairo_surface_t* SurfaceDrawing::PictureAt(const Image& source, int factor) {
    const auto key = std::make_pair(&source, factor);
    if (auto found = pictures_.find(key); found != pictures_.end()) return found->second.get();
    const Image image = ScaledUp(source, factor);
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.Width, image.Height);
    cairo_surface_flush(picture);
    unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    // 0xAARRGGBB like cairo's pixels; the alpha is dropped, as the pictures are opaque.
    for (int y = 0; y < image.Height; ++y)
        std::memcpy(data + static_cast<std::size_t>(y) * stride,
                    image.Pixels.data() + static_cast<std::size_t>(y) * image.Width,
                    static_cast<std::size_t>(image.Width) * sizeof(std::uint32_t));
    cairo_surface_mark_dirty(picture);
    pictures_.emplace(key, std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)>(picture, cairo_surface_destroy));
    return picture;
}

void SurfaceDrawing::DrawPicture(cairo_t* cairo, const Picture& picture, double dpi) {
    if (!Complete(*picture.Source)) return;
    const PixelBox box = ToPixels(picture.Rect, dpi);
    // Natural size, or its whole multiple on a dense screen: never stretched to the control.
    cairo_surface_t* drawn = PictureAt(*picture.Source, PictureScale(dpi));
    cairo_set_source_surface(cairo, drawn, box.X, box.Y);
    cairo_rectangle(cairo, box.X, box.Y, cairo_image_surface_get_width(drawn), cairo_image_surface_get_height(drawn));
    cairo_fill(cairo);
}

ShmBuffer::~ShmBuffer() {
    if (Handle) wl_buffer_destroy(Handle);
    if (Data) munmap(Data, Size);
}

namespace {

void Released(void* data, wl_buffer*) { static_cast<ShmBuffer*>(data)->Held = false; }
constexpr wl_buffer_listener kBufferListener{Released};

// Enough for the frame being shown, the one on its way and one to draw into.
constexpr std::size_t kMostBuffers = 3;

std::unique_ptr<ShmBuffer> NewBuffer(wl_shm* shm, int width, int height) {
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
    auto buffer = std::make_unique<ShmBuffer>();
    buffer->Width = width;
    buffer->Height = height;
    buffer->Size = static_cast<std::size_t>(stride) * height;
    const int fd = memfd_create("ostravel-panel", MFD_CLOEXEC);
    if (fd < 0) throw Error(std::string("cannot make shared memory for the panel: ") + std::strerror(errno));
    if (ftruncate(fd, static_cast<off_t>(buffer->Size)) < 0) {
        const int error = errno;
        close(fd);
        throw Error(std::string("cannot make shared memory for the panel: ") + std::strerror(error));
    }
    void* data = mmap(nullptr, buffer->Size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        const int error = errno;
        close(fd);
        throw Error(std::string("cannot map shared memory for the panel: ") + std::strerror(error));
    }
    buffer->Data = data;
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(buffer->Size));
    // cairo's RGB24 is the compositor's XRGB8888: 32-bit words, the top byte unused.
    buffer->Handle = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(buffer->Handle, &kBufferListener, buffer.get());
    return buffer;
}

} // namespace

ShmBuffer* Painter::FreeBuffer(int width, int height) {
    // Buffers of an old size go once the compositor lets go of them.
    std::erase_if(buffers_, [&](const auto& buffer) {
        return !buffer->Held && (buffer->Width != width || buffer->Height != height);
    });
    for (auto& buffer : buffers_)
        if (!buffer->Held) return buffer.get();
    if (buffers_.size() >= kMostBuffers) return nullptr;
    buffers_.push_back(NewBuffer(shm_, width, height));
    return buffers_.back().get();
}

void Painter::SurfaceGone() {
    for (auto& buffer : buffers_) buffer->Held = false;
}

wl_buffer* Painter::Paint(const Surface& surface, int width, int height, double dpi) {
    if (width <= 0 || height <= 0) return nullptr;
    ShmBuffer* buffer = FreeBuffer(width, height);
    if (!buffer) return nullptr;
    cairo_surface_t* target =
        cairo_image_surface_create_for_data(static_cast<unsigned char*>(buffer->Data), CAIRO_FORMAT_RGB24, width,
                                            height, cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width));
    cairo_t* cairo = cairo_create(target);
    drawing_.Draw(cairo, surface, width, height, dpi);
    cairo_destroy(cairo);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
    buffer->Held = true;
    return buffer->Handle;
}

} // namespace platform::wayland
