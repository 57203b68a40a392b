// The battle's message texts, the stream reader and the join-address check.
#include "net/wire.h"

#include <algorithm>
#include <array>
#include <string>

namespace quorlax {
namespace {

// Indexed by WireMessage; the texts must stay byte for byte what older copies use.
constexpr std::string_view kTexts[] = {
    "ljcg", "gogogo1", "gogogo2", "gogogo3", "jia200", "bai", "test", "kaishicont",
};
static_assert(std::size(kTexts) == std::size(kWireMessages));

constexpr bool LongestIsRight() {
    std::size_t longest = 0;
    for (std::string_view t : kTexts) longest = std::max(longest, t.size());
    return longest == kLongestWireText;
}
static_assert(LongestIsRight());

// No text occurs inside another one. So bytes that complete a text never have to
// wait to see whether a longer text follows, a match is never ambiguous, and one
// byte completes at most one message. Should a message ever extend another, the
// plain choice is to take the shorter at once (a sender adds nothing after a
// message, so waiting could hold it forever); this check makes that a decision.
constexpr bool NoTextInsideAnother() {
    for (std::string_view a : kTexts) {
        for (std::string_view b : kTexts) {
            if (a != b && b.find(a) != std::string_view::npos) return false;
        }
    }
    return true;
}
static_assert(NoTextInsideAnother());

constexpr std::uint8_t kNoMessage = 0xFF;

// The held states are the distinct starts of the texts; they must fit a byte.
constexpr bool FewStarts() {
    std::size_t total = 1;
    for (std::string_view t : kTexts) total += t.size();
    return total < kNoMessage;
}
static_assert(FewStarts());

// What one received byte does, given the bytes held before it.
struct Step {
    std::uint8_t next = 0;              // the held bytes afterwards, as a state
    std::uint8_t dropped = 0;           // bytes given up as garbage
    std::uint8_t message = kNoMessage;  // the WireMessage completed, if any
};

// The reading rule, worked out once for every held state and every byte, so that
// reading costs one table look-up per byte however hostile the stream. The rule,
// applied to the held bytes plus the new one: if they are a whole text, that
// message is read and nothing stays held; if they are the start of some text,
// they stay held; otherwise the first byte is garbage, and the rest is looked at
// again the same way.
struct Automaton {
    std::vector<std::string_view> states;  // state i holds these bytes; state 0 holds none
    std::vector<Step> steps;               // state * 256 + byte: what that byte does in that state

    Automaton() {
        for (std::string_view text : kTexts) {
            for (std::size_t n = 0; n < text.size(); ++n) {
                if (StateOf(text.substr(0, n)) < 0) states.push_back(text.substr(0, n));
            }
        }
        // A byte that occurs in no text makes everything held garbage along with
        // itself; only the few bytes of the texts need the rule worked through.
        std::array<bool, 256> inTexts{};
        for (std::string_view text : kTexts) {
            for (char c : text) inTexts[static_cast<unsigned char>(c)] = true;
        }
        steps.resize(states.size() * 256);
        for (std::size_t s = 0; s < states.size(); ++s) {
            for (int byte = 0; byte < 256; ++byte) {
                steps[s * 256 + byte] = inTexts[byte]
                                            ? Work(states[s], static_cast<char>(byte))
                                            : Step{0, static_cast<std::uint8_t>(states[s].size() + 1)};
            }
        }
    }

    int StateOf(std::string_view held) const {
        for (std::size_t i = 0; i < states.size(); ++i) {
            if (states[i] == held) return static_cast<int>(i);
        }
        return -1;
    }

    Step Work(std::string_view held, char byte) const {
        std::string bytes(held);
        bytes += byte;
        Step step;
        std::string_view rest = bytes;
        while (!rest.empty()) {
            // A whole text can only end at the new byte: one ending earlier would
            // lie inside the held bytes, which are the start of another text.
            for (std::size_t i = 0; i < std::size(kTexts); ++i) {
                if (rest == kTexts[i]) {
                    step.message = static_cast<std::uint8_t>(i);
                    return step;
                }
            }
            int state = StateOf(rest);
            if (state >= 0) {
                step.next = static_cast<std::uint8_t>(state);
                return step;
            }
            rest.remove_prefix(1);
            ++step.dropped;
        }
        return step;
    }
};

const Automaton& Reading() {
    static const Automaton automaton;
    return automaton;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\u3000'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsIpv4(std::wstring_view s) {
    int parts = 0;
    while (true) {
        std::size_t digits = 0;
        int value = 0;
        while (digits < s.size() && IsDigit(s[digits]) && digits < 4) {
            value = value * 10 + (s[digits] - L'0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        if (digits > 1 && s[0] == L'0') return false;
        s.remove_prefix(digits);
        ++parts;
        if (parts == 4) return s.empty();
        if (s.empty() || s.front() != L'.') return false;
        s.remove_prefix(1);
    }
}

bool IsHostName(std::wstring_view s) {
    if (s.empty() || s.size() > 253) return false;
    bool onlyDigitsAndDots = true;
    std::size_t label = 0;  // length of the label being read
    wchar_t previous = L'.';
    for (wchar_t c : s) {
        if (c == L'.') {
            if (label == 0 || previous == L'-') return false;
            label = 0;
        } else {
            if (!IsLetter(c) && !IsDigit(c) && c != L'-') return false;
            if (c == L'-' && label == 0) return false;
            if (++label > 63) return false;
            if (!IsDigit(c)) onlyDigitsAndDots = false;
        }
        previous = c;
    }
    // An empty last label (a trailing dot) or one ending in '-' is no name; text
    // of digits and dots alone was meant as an address and failed as one.
    return label > 0 && previous != L'-' && !onlyDigitsAndDots;
}

}  // namespace

std::string_view WireText(WireMessage message) {
    auto index = static_cast<std::size_t>(message);
    return index < std::size(kTexts) ? kTexts[index] : std::string_view{};
}

void WireReader::Feed(std::string_view bytes, std::vector<WireMessage>& out) {
    // Plain pointers keep the loop cheap even in a debug build under the sanitizers.
    const Step* steps = Reading().steps.data();
    const char* next = bytes.data();
    const char* const end = next + bytes.size();
    unsigned state = state_;
    std::uint64_t dropped = 0;
    for (; next != end; ++next) {
        const Step& step = steps[state * 256 + static_cast<unsigned char>(*next)];
        dropped += step.dropped;
        if (step.message != kNoMessage) {
            out.push_back(kWireMessages[step.message]);
            ++messagesRead_;
        }
        state = step.next;
    }
    state_ = static_cast<std::uint8_t>(state);
    droppedBytes_ += dropped;
}

std::vector<WireMessage> WireReader::Feed(std::string_view bytes) {
    std::vector<WireMessage> out;
    Feed(bytes, out);
    return out;
}

void WireReader::Reset() { *this = WireReader{}; }

std::size_t WireReader::PendingBytes() const { return Reading().states[state_].size(); }

std::wstring_view TrimAddress(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

AddressKind ClassifyAddress(std::wstring_view text) {
    std::wstring_view s = TrimAddress(text);
    if (IsIpv4(s)) return AddressKind::Ipv4;
    if (IsHostName(s)) return AddressKind::HostName;
    return AddressKind::Invalid;
}

}  // namespace quorlax
