// The battle's wire: the message texts, a stream reader for them, and the join box's address check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quorlax {

// The messages two copies exchange over the battle connection. Each goes on the
// stream as its bare ASCII text (WireText): no terminator, no length, no delimiter,
// exactly as older copies send and expect them.
enum class WireMessage {
    Connected,     // "ljcg": the joiner is connected
    StartChinese,  // "gogogo1": the host starts a Chinese-character battle
    StartEnglish,  // "gogogo2": the host starts an English-letter battle
    StartDigits,   // "gogogo3": the host starts a digit battle
    Hit,           // "jia200": the sender shot a label down; raise our floor line
    Defeat,        // "bai": the sender's lives ran out; we win
    Heartbeat,     // "test": keeps the connection checked; does nothing on arrival
    ShowConnect,   // "kaishicont": shows the Connect button (we never send it)
};

// Every message, in the order above.
inline constexpr WireMessage kWireMessages[] = {
    WireMessage::Connected, WireMessage::StartChinese, WireMessage::StartEnglish, WireMessage::StartDigits,
    WireMessage::Hit,       WireMessage::Defeat,       WireMessage::Heartbeat,    WireMessage::ShowConnect,
};

// The bytes that carry a message: send them in one call, nothing before or after.
std::string_view WireText(WireMessage message);

// The longest message text; the reader always holds fewer undecided bytes than this.
inline constexpr std::size_t kLongestWireText = 10;  // "kaishicont"

// How many bytes the socket side takes from the connection per read. The reader
// itself keeps fixed memory whatever it is fed; this bounds the messages one read
// can yield, so a flooding peer cannot make a read's result grow without limit.
inline constexpr std::size_t kWireReadLimit = 64 * 1024;

// Turns the received byte stream back into messages. TCP keeps the bytes in order
// but may merge several messages into one read or split one over two reads, so the
// reader works on the stream, not on reads: at each position, bytes that begin with
// a message text give that message; bytes that are still the start of one or more
// texts wait for the next read; anything else drops one byte (garbage) and the
// search goes on from the next byte.
class WireReader {
public:
    // Reads `bytes`, the next part of the stream (of any length), and appends the
    // messages it completes to `out`, in stream order. Costs one table look-up per
    // byte and no memory beyond `out`.
    void Feed(std::string_view bytes, std::vector<WireMessage>& out);

    // The same, returning the messages.
    std::vector<WireMessage> Feed(std::string_view bytes);

    // Forgets the undecided bytes and the counts: a new connection starts clean.
    void Reset();

    // Bytes held because they may still become a message (always < kLongestWireText).
    std::size_t PendingBytes() const;

    // Bytes skipped as garbage since the last Reset.
    std::uint64_t DroppedBytes() const { return droppedBytes_; }

    // Messages read since the last Reset.
    std::uint64_t MessagesRead() const { return messagesRead_; }

private:
    // The undecided bytes, as the message start they spell (0 = none): the only
    // memory the reader keeps between reads.
    std::uint8_t state_ = 0;
    std::uint64_t droppedBytes_ = 0;
    std::uint64_t messagesRead_ = 0;
};

// What the join box holds.
enum class AddressKind {
    Ipv4,      // dotted IPv4 address, four decimal parts 0-255
    HostName,  // a host name to look up
    Invalid,   // neither: the player must correct it
};

// The address text without the blanks around it (spaces, tabs, line breaks, the
// ideographic space an input method types).
std::wstring_view TrimAddress(std::wstring_view text);

// Classifies the join box's text after trimming. An IPv4 address has exactly four
// parts of 1 to 3 digits, each 0-255 and without a leading zero (Winsock would read
// "010" as octal, so such text would reach another computer than the one meant).
// A host name is ASCII letters, digits, '-' and '.', in labels of 1 to 63
// characters that neither begin nor end with '-', at most 253 characters in all;
// text of only digits and dots that is no IPv4 address is Invalid, not a name.
AddressKind ClassifyAddress(std::wstring_view text);

}  // namespace quorlax
