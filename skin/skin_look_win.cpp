// OLE colours and font descriptions.
#include "skin/skin_look_win.h"

#include <cmath>

namespace quorlax::skin {
namespace {

constexpr OLE_COLOR kSystemColourFlag = 0x80000000u;
constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;

}  // namespace

COLORREF TranslateColor(OLE_COLOR colour) {
    if ((colour & 0xFF000000u) == 0) return colour;
    if ((colour & 0xFF000000u) != kSystemColourFlag) return CLR_INVALID;
    const int index = static_cast<int>(colour & 0xFFFFu);
    if (!GetSysColorBrush(index)) return CLR_INVALID;
    return GetSysColor(index);
}

UniqueFont CreateSkinFont(const StdFont& font, HDC dc, int weight) {
    LOGFONTW lf{};
    const int points = static_cast<int>(std::lround(font.Size));
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWeight = weight ? weight : font.Bold ? kBoldWeight : kNormalWeight;
    lf.lfItalic = font.Italic;
    lf.lfUnderline = font.Underline;
    lf.lfStrikeOut = font.Strikethrough;
    lf.lfCharSet = font.Charset;
    font.Name.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&lf));
}

}  // namespace quorlax::skin
