// Colours and fonts as the skin's owner sets them: OLE colours (RGB or a
// system colour) and font descriptions turned into GDI fonts.
#pragma once

#include <windows.h>

#include <string>

#include "skin/skin_handles_win.h"

namespace quorlax::skin {

// An RGB value 0x00BBGGRR, or a system colour 0x800000nn.
using OLE_COLOR = DWORD;

// A font description, as a font object holds it.
struct StdFont {
    std::wstring Name = L"MS Sans Serif";  // face name
    double Size = 8.25;                    // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
    BYTE Charset = DEFAULT_CHARSET;
};

// The RGB value of an OLE colour; CLR_INVALID (-1) when it has none.
COLORREF TranslateColor(OLE_COLOR colour);

// A GDI font from a description: height from the whole point size and the
// DC's vertical resolution; weight 700 or 400 by Bold unless `weight` is
// given; the face name as the wide text it is (cut to the 31 characters a
// logical font holds).
UniqueFont CreateSkinFont(const StdFont& font, HDC dc, int weight = 0);

}  // namespace quorlax::skin
