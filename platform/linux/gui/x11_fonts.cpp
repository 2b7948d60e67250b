#include "platform/linux/gui/x11_fonts.h"

#include <fontconfig/fontconfig.h>

#include <stdexcept>

namespace platform::x11 {
namespace {


// The letters a Cyrillic face must have: the basic Russian alphabet, upper and lower case, and Ё/ё.
FcCharSet* CyrillicLetters() {
    FcCharSet* letters = FcCharSetCreate();
    for (FcChar32 letter = 0x0410; letter <= 0x044F; ++letter) FcCharSetAddChar(letters, letter);
    FcCharSetAddChar(letters, 0x0401);
    FcCharSetAddChar(letters, 0x0451);
    return letters;
}

} // namespace

FontCache::FontCache(Display* display, int screen, const Scale& scale)
    : display_(display), screen_(screen), scale_(scale) {}

FontCache::~FontCache() {
    for (auto& [key, font] : fonts_) XftFontClose(display_, font);
}

XftFont* FontCache::Get(const FontSpec& request) {
    auto key = std::make_tuple(request.Name, request.Size, request.Weight, request.Charset);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    XftFont* font = Open(request);
    fonts_.emplace(key, font);
    return font;
}

XftFont* FontCache::Open(const FontSpec& request) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.Name.c_str()));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, scale_.FontPixels(request.Size));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.Weight));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_ANTIALIAS, FcTrue);
    if (request.Charset == kCharsetCyrillic) {
        // The charset outranks the family in fontconfig's matching, so a face without
        // these letters never wins over one that has them.
        FcCharSet* letters = CyrillicLetters();
        FcPatternAddCharSet(pattern, FC_CHARSET, letters);
        FcCharSetDestroy(letters);
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ru"));
    }
    FcResult result = FcResultNoMatch;
    FcPattern* match = XftFontMatch(display_, screen_, pattern, &result);
    FcPatternDestroy(pattern);
    XftFont* font = match ? XftFontOpenPattern(display_, match) : nullptr;
    if (!font) {
        if (match) FcPatternDestroy(match);
        throw std::runtime_error("no font found for \"" + request.Name + "\"");
    }
    return font; // owns match now
}

} // namespace platform::x11
