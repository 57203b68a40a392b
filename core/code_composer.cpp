// The code being typed, and the judge of each key against the expected codes.
#include "core/code_composer.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace quorlax {
namespace {

constexpr wchar_t kSpaceName[] = L"空格";

bool IsControl(wchar_t key) { return key < L' ' || key == 0x7F; }

// The miss against `own`, the expected text's codes shortest first.
std::optional<CodeMiss> FindMiss(const std::vector<std::string>& own, std::string_view typed, wchar_t key) {
    std::wstring keys(typed.begin(), typed.end());
    keys += key;
    auto followed = [&](const std::string& code) {
        size_t n = 0;
        while (n < code.size() && n < keys.size() && static_cast<wchar_t>(code[n]) == keys[n]) ++n;
        return n;
    };
    size_t off = 0;
    for (const std::string& code : own) off = std::max(off, followed(code));
    if (own.empty() || off == keys.size()) return std::nullopt;

    // What should have come there: the next letter of the shortest code
    // followed so far that goes on, or Space after one that is complete.
    CodeMiss miss{off + 1, kSpaceKey, keys[off]};
    for (const std::string& code : own)
        if (followed(code) == off && code.size() > off) {
            miss.should = static_cast<wchar_t>(code[off]);
            break;
        }
    return miss;
}

}  // namespace

Composed CodeComposer::Press(const FiveStrokeCodes& codes, wchar_t key, const Prefer& prefer) {
    if (IsCodeLetter(key)) {
        pending_ += static_cast<char>(key);
        if (pending_.size() == kMaxCodeLetters) return Complete(codes, prefer);
        return {Composed::Step::Pending};
    }
    if (key == kSpaceKey && !pending_.empty()) return Complete(codes, prefer);
    if (key == kBackspaceKey) {
        if (pending_.empty()) return {Composed::Step::NothingToErase};
        pending_.pop_back();
        return {Composed::Step::Erased};
    }
    return {Composed::Step::NotTaken};
}

Composed CodeComposer::Complete(const FiveStrokeCodes& codes, const Prefer& prefer) {
    Composed done{Composed::Step::NoEntry, std::move(pending_)};
    pending_.clear();
    const std::vector<CodeEntry> entries = codes.EntriesOf(done.code);
    if (entries.empty()) return done;
    auto chosen = entries.begin();
    if (prefer) {
        const auto preferred =
            std::find_if(entries.begin(), entries.end(), [&](const CodeEntry& e) { return prefer(e.text); });
        if (preferred != entries.end()) chosen = preferred;
    }
    done.step = Composed::Step::Text;
    done.text = chosen->text;
    return done;
}

KeyVerdict JudgeKey(const FiveStrokeCodes& codes, std::wstring_view expected, std::string_view typed,
                    wchar_t key) {
    if (IsControl(key) || !codes.BeginsCodeOf(expected, "")) return KeyVerdict::NotJudged;
    if (IsCodeLetter(key)) {
        const std::string letters = std::string(typed) + static_cast<char>(key);
        return codes.BeginsCodeOf(expected, letters) ? KeyVerdict::Right : KeyVerdict::WrongLetter;
    }
    if (key == kSpaceKey) return codes.IsCodeOf(expected, typed) ? KeyVerdict::Right : KeyVerdict::WrongSpace;
    return KeyVerdict::WrongKey;
}

std::optional<CodeMiss> FindMiss(const FiveStrokeCodes& codes, std::wstring_view expected,
                                 std::string_view typed, wchar_t key) {
    return FindMiss(codes.CodesOf(expected), typed, key);
}

std::wstring MissHint(const FiveStrokeCodes& codes, std::wstring_view expected, std::string_view typed,
                      wchar_t key) {
    const std::vector<std::string> own = codes.CodesOf(expected);
    std::wstring hint(expected);
    if (own.empty()) return hint + L"：没有五笔编码";
    for (size_t i = 0; i < own.size(); ++i) {
        hint += i == 0 ? L" " : L" / ";
        hint.append(own[i].begin(), own[i].end());
    }
    const std::optional<CodeMiss> miss = FindMiss(own, typed, key);
    if (!miss) return hint;

    auto name = [](wchar_t k) { return k == kSpaceKey ? std::wstring(kSpaceName) : std::wstring(L" ") + k; };
    hint += L"：";
    if (miss->pressed == kSpaceKey) hint += L"编码未完，";
    hint += L"第 " + std::to_wstring(miss->position) + L" 键应为" + name(miss->should) + L"，按了" +
            name(miss->pressed);
    if (miss->pressed != kSpaceKey && !IsCodeLetter(miss->pressed)) hint += L"（编码只用 a～y）";
    return hint;
}

wchar_t ChinesePunctuation(wchar_t key, wchar_t expected) {
    static constexpr std::pair<wchar_t, std::wstring_view> kMarks[] = {
        {L',', L"，"}, {L'.', L"。"}, {L';', L"；"}, {L':', L"："}, {L'?', L"？"}, {L'!', L"！"},
        {L'\\', L"、"}, {L'\'', L"‘’"}, {L'"', L"“”"}, {L'(', L"（"}, {L')', L"）"}, {L'<', L"《"},
        {L'>', L"》"}, {L'[', L"【"}, {L']', L"】"}, {L'^', L"……"}, {L'_', L"——"}, {L'~', L"～"}};
    for (const auto& [k, marks] : kMarks)
        if (k == key) return marks.find(expected) != std::wstring_view::npos ? expected : marks[0];
    return 0;
}

}  // namespace quorlax
