// Fuzz target: the battle wire's stream reader, fed any bytes split into reads
// at points the input itself chooses.
//
// Input: byte 0 gives the number n (0..7) of read lengths that follow; bytes
// 1..n are those lengths (0..255, used in turn); the rest is the stream.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "net/wire.h"

namespace {

using namespace quorlax;

// The reading rule written plainly over strings, to hold the reader's table
// against: held bytes that are a whole text give its message; held bytes that
// begin some text wait; otherwise the first held byte is garbage.
struct PlainReader {
    std::string held;
    std::uint64_t dropped = 0;
    std::vector<WireMessage> out;

    void Byte(char c) {
        held += c;
        while (!held.empty()) {
            for (WireMessage m : kWireMessages) {
                if (held == WireText(m)) {
                    out.push_back(m);
                    held.clear();
                    return;
                }
            }
            for (WireMessage m : kWireMessages)
                if (WireText(m).starts_with(held)) return;
            held.erase(0, 1);
            ++dropped;
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t splits = std::min<std::size_t>(data[0] % 8, size - 1);
    const std::uint8_t* lengths = data + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1 + splits), size - 1 - splits);

    bool anyLength = false;
    for (std::size_t i = 0; i < splits; ++i) anyLength = anyLength || lengths[i] != 0;

    WireReader reader;
    std::vector<WireMessage> got;
    if (!anyLength) {
        reader.Feed(stream, got);
    } else {
        for (std::size_t at = 0, i = 0; at < stream.size(); ++i) {
            const std::size_t length = lengths[i % splits];
            reader.Feed(stream.substr(at, length), got);  // a length of 0 is an empty read
            at += length;
            FUZZ_CHECK(reader.PendingBytes() < kLongestWireText);
        }
    }

    PlainReader plain;
    for (char c : stream) plain.Byte(c);
    FUZZ_CHECK(got == plain.out);
    FUZZ_CHECK(reader.DroppedBytes() == plain.dropped);
    FUZZ_CHECK(reader.PendingBytes() == plain.held.size());
    FUZZ_CHECK(reader.MessagesRead() == got.size());

    // Every byte is in a message, dropped, or held.
    std::uint64_t inMessages = 0;
    for (WireMessage m : got) inMessages += WireText(m).size();
    FUZZ_CHECK(inMessages + reader.DroppedBytes() + reader.PendingBytes() == stream.size());

    // The same stream in one read gives the same.
    WireReader whole;
    FUZZ_CHECK(whole.Feed(stream) == got);
    FUZZ_CHECK(whole.PendingBytes() == reader.PendingBytes());
    return 0;
}
