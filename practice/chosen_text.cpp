// Decoding of practice files: byte-order marks, UTF-8 detection, GBK, and
// the clean-up of line ends and control characters.
#include "practice/chosen_text.h"

#include "platform/gbk.h"

namespace quorlax {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One UTF-8 sequence at `pos`: its code point and length, or length 0 when
// the bytes there are no valid sequence (overlong forms and surrogates
// included).
struct Utf8Step {
    char32_t code = 0;
    size_t length = 0;
};

Utf8Step NextUtf8(std::string_view s, size_t pos) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80) return {b0, 1};
    size_t length = 0;
    char32_t code = 0, min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, code = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, code = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, code = b0 & 0x07, min = 0x10000;
    } else {
        return {};
    }
    if (pos + length > s.size()) return {};
    for (size_t i = 1; i < length; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) return {};
        code = (code << 6) | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
    return {code, length};
}

bool IsValidUtf8WithNonAscii(std::string_view s) {
    bool non_ascii = false;
    for (size_t pos = 0; pos < s.size();) {
        Utf8Step step = NextUtf8(s, pos);
        if (step.length == 0) return false;
        non_ascii = non_ascii || step.length > 1;
        pos += step.length;
    }
    return non_ascii;
}

// Appends one decoded character, cleaned for the grid: line ends and control
// characters dropped, a tab as a blank, characters no wchar_t cell can hold
// replaced.
void AppendClean(std::wstring& out, char32_t c) {
    if (c == U'\t') {
        out.push_back(L' ');
    } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
        // CR and LF among them: line ends vanish, as the lines are joined.
    } else if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        out.push_back(static_cast<wchar_t>(kReplacement));
    } else {
        out.push_back(static_cast<wchar_t>(c));
    }
}

std::wstring DecodeUtf8(std::string_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (size_t pos = 0; pos < s.size();) {
        Utf8Step step = NextUtf8(s, pos);
        if (step.length == 0) {
            AppendClean(out, kReplacement);
            ++pos;
        } else {
            AppendClean(out, step.code);
            pos += step.length;
        }
    }
    return out;
}

std::wstring DecodeUtf16(std::string_view s, bool big_endian) {
    std::wstring out;
    out.reserve(s.size() / 2 + 1);
    auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
        return big_endian ? (a << 8 | b) : (b << 8 | a);
    };
    size_t pos = 0;
    for (; pos + 1 < s.size(); pos += 2) {
        char32_t u = unit(pos);
        if (u >= 0xD800 && u <= 0xDBFF && pos + 3 < s.size()) {
            char32_t low = unit(pos + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendClean(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                pos += 2;
                continue;
            }
        }
        AppendClean(out, u);  // a lone surrogate becomes U+FFFD there
    }
    if (pos < s.size()) AppendClean(out, kReplacement);  // an odd last byte
    return out;
}

std::wstring CleanGbk(std::string_view s) {
    std::wstring decoded = DecodeGbk(s);
    std::wstring out;
    out.reserve(decoded.size());
    for (wchar_t c : decoded) AppendClean(out, static_cast<char32_t>(c));
    return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

bool PracticeFileTooLarge(std::uint64_t size) { return size > kMaxPracticeFileBytes; }

ChosenFile DecodePracticeFile(std::string_view bytes) {
    ChosenFile file;
    if (PracticeFileTooLarge(bytes.size())) {
        file.error = PracticeFileError::TooLarge;
        return file;
    }
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        file.text = DecodeUtf8(bytes.substr(3));
    } else if (StartsWith(bytes, "\xFF\xFE")) {
        file.text = DecodeUtf16(bytes.substr(2), false);
    } else if (StartsWith(bytes, "\xFE\xFF")) {
        file.text = DecodeUtf16(bytes.substr(2), true);
    } else if (IsValidUtf8WithNonAscii(bytes)) {
        file.text = DecodeUtf8(bytes);
    } else {
        file.text = CleanGbk(bytes);
    }
    // An empty grid would count every key as wrong.
    if (file.text.empty()) file.error = PracticeFileError::Unreadable;
    return file;
}

std::wstring PracticeFileMessage(PracticeFileError error, std::wstring_view file_name) {
    const std::wstring name(file_name);
    switch (error) {
        case PracticeFileError::None: return {};
        case PracticeFileError::TooLarge: return L"文件“" + name + L"”超过 64 MB，不能用作练习文本。";
        case PracticeFileError::Unreadable: return L"无法读取文件“" + name + L"”。";
    }
    return {};
}

std::wstring CellCaption(std::wstring_view text, int cell) {
    if (cell < 1 || cell > kPracticeCells || static_cast<size_t>(cell) > text.size()) return {};
    return std::wstring(1, text[static_cast<size_t>(cell) - 1]);
}

}  // namespace quorlax
