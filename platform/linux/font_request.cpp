// The fontconfig pattern both painters match a label's font with.
#include "platform/linux/font_request.h"

namespace platform {

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

FcPattern* FontRequestPattern(const FontSpec& request, double pixels) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.Name.c_str()));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixels);
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
    return pattern;
}

} // namespace platform
