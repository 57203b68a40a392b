// What every layer means by a colour, a font and a loaded picture: the
// appearance the services hand over and the controls are drawn in.
#pragma once

#include <cstdint>
#include <string>

namespace quorlax {

using Color = std::uint32_t;  // packed 0x00BBGGRR; top bit set names a system colour

constexpr Color kYellow = 0x0000FFFF;
constexpr Color kRed = 0x000000FF;
constexpr Color kWhite = 0x00FFFFFF;
constexpr Color kBlack = 0x00000000;
constexpr Color kSystemButtonFace = 0x8000000F;
constexpr Color kSystemWindow = 0x80000005;
constexpr Color kSystemWindowText = 0x80000008;
constexpr Color kSystemButtonText = 0x80000012;

constexpr int kGb2312Charset = 134;

struct Font {
    std::wstring Name = L"宋体";  // face name
    float Size = 9.0f;            // points
    bool Bold = false;
    int Charset = kGb2312Charset;
    bool Italic = false;     // slanted
    bool Underline = false;  // underlined

    bool operator==(const Font&) const = default;
};

// A picture loaded from a file (the window's background picture); the
// platform that loaded it knows how to draw it.
class Image {
public:
    Image();
    virtual ~Image() = default;
    virtual int Width() const = 0;   // pixels
    virtual int Height() const = 0;  // pixels
    // Tells pictures apart by content, never by address: every picture
    // loaded gets a new number, even where memory is reused.
    std::uint64_t Version() const { return version_; }

private:
    std::uint64_t version_;
};

}  // namespace quorlax
