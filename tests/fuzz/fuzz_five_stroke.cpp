// Fuzz target: the five-stroke codes file holding any bytes, the look-ups
// over what was read, and keys typed into the code being composed and judged.
//
// Input: byte 0 gives how many keys follow (up to 15); those bytes are keys
// as WM_CHAR gives them, the rest is the codes file.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/code_composer.h"
#include "core/five_stroke.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace quorlax;

// What every entry of a code must agree with.
void CheckCode(const FiveStrokeCodes& codes, const std::string& code) {
    const auto entries = codes.EntriesOf(code);
    FUZZ_CHECK(entries.empty() || codes.BeginsAnyCode(code));
    for (size_t i = 0; i < entries.size(); ++i) {
        const CodeEntry& e = entries[i];
        FUZZ_CHECK(!e.text.empty());
        FUZZ_CHECK(i == 0 || entries[i - 1].frequency >= e.frequency);
        FUZZ_CHECK(codes.IsCodeOf(e.text, code));
        FUZZ_CHECK(codes.BeginsCodeOf(e.text, code.substr(0, code.size() / 2)));
        const auto own = codes.CodesOf(e.text);
        FUZZ_CHECK(std::count(own.begin(), own.end(), code) == 1);
        FUZZ_CHECK(std::is_sorted(own.begin(), own.end(),
                                  [](const auto& a, const auto& b) { return a.size() < b.size(); }));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t keys = std::min<std::size_t>(data[0] & 0x0F, size - 1);
    const std::string_view file(reinterpret_cast<const char*>(data + 1 + keys), size - 1 - keys);
    const FiveStrokeCodes codes = FiveStrokeCodes::Parse(file);
    const auto lines = static_cast<std::size_t>(std::count(file.begin(), file.end(), '\n')) + 1;
    FUZZ_CHECK(codes.CodeCount() + codes.SkippedLines() <= lines);

    // The file's first code, as a player typing it would meet it.
    std::wstring expected;
    for (char c = 'a'; c <= 'y' && expected.empty(); ++c) {
        const auto entries = codes.EntriesOf(std::string(1, c));
        if (!entries.empty()) expected = entries.front().text;
        CheckCode(codes, std::string(1, c));
    }

    CodeComposer composer;
    const auto prefer = [&](std::wstring_view text) { return text == expected; };
    for (std::size_t i = 0; i < keys; ++i) {
        const auto key = static_cast<wchar_t>(data[1 + i]);
        const std::string typed(composer.Pending());
        const KeyVerdict verdict = JudgeKey(codes, expected, typed, key);
        if (verdict != KeyVerdict::Right && verdict != KeyVerdict::NotJudged) {
            const std::wstring hint = MissHint(codes, expected, typed, key);
            FUZZ_CHECK(hint.starts_with(expected) && hint.find(L'：') != std::wstring::npos);
        }
        const Composed step = composer.Press(codes, key, prefer);
        FUZZ_CHECK(composer.Pending().size() < kMaxCodeLetters);
        if (step.step == Composed::Step::Text || step.step == Composed::Step::NoEntry) {
            CheckCode(codes, step.code);
            const auto entries = codes.EntriesOf(step.code);
            FUZZ_CHECK(entries.empty() == (step.step == Composed::Step::NoEntry));
            FUZZ_CHECK(entries.empty() ||
                       step.text == (codes.IsCodeOf(expected, step.code) ? expected : entries.front().text));
        }
    }
    return 0;
}
