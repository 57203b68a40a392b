// The battle wire: message texts, reading them back from a TCP byte stream, the join address.
#include "net/wire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <type_traits>

namespace quorlax {
namespace {

using namespace std::string_literals;

using Messages = std::vector<WireMessage>;

const Messages kAll(std::begin(kWireMessages), std::end(kWireMessages));

std::string Concat(const Messages& messages) {
    std::string bytes;
    for (WireMessage m : messages) bytes += WireText(m);
    return bytes;
}

Messages Twice(const Messages& messages) {
    Messages twice = messages;
    twice.insert(twice.end(), messages.begin(), messages.end());
    return twice;
}

TEST(WireTextTest, TextsAreTheOnesOlderCopiesUse) {
    const char* expected[] = {"ljcg", "gogogo1", "gogogo2", "gogogo3", "jia200", "bai", "test", "kaishicont"};
    ASSERT_EQ(std::size(expected), std::size(kWireMessages));
    std::size_t longest = 0;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(WireText(kWireMessages[i]), expected[i]);
        longest = std::max(longest, WireText(kWireMessages[i]).size());
    }
    EXPECT_EQ(longest, kLongestWireText);
}

TEST(WireReaderTest, EachMessageAloneAndMergedReads) {
    for (WireMessage m : kAll) {
        WireReader reader;
        EXPECT_EQ(reader.Feed(WireText(m)), Messages{m}) << WireText(m);
    }
    // A heartbeat directly followed by a hit arrives as one read: both count.
    WireReader reader;
    EXPECT_EQ(reader.Feed("testjia200"), (Messages{WireMessage::Heartbeat, WireMessage::Hit}));
    EXPECT_EQ(reader.Feed(Concat(Twice(kAll))), Twice(kAll));
    EXPECT_EQ(reader.MessagesRead(), 2 + 2 * kAll.size());
    EXPECT_EQ(reader.DroppedBytes(), 0u);
    EXPECT_EQ(reader.PendingBytes(), 0u);
}

TEST(WireReaderTest, EverySplitIntoTwoOrThreeReadsGivesTheSameMessages) {
    const Messages sent = Twice(kAll);
    const std::string bytes = Concat(sent);
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        for (std::size_t j = i; j <= bytes.size(); ++j) {
            WireReader reader;
            Messages got;
            reader.Feed(std::string_view(bytes).substr(0, i), got);
            reader.Feed(std::string_view(bytes).substr(i, j - i), got);
            reader.Feed(std::string_view(bytes).substr(j), got);
            ASSERT_EQ(got, sent) << "split at " << i << " and " << j;
        }
    }
}

TEST(WireReaderTest, GarbageBetweenMessagesIsSkippedAndCounted) {
    WireReader reader;
    EXPECT_EQ(reader.Feed("xx\r\njia200??bai"), (Messages{WireMessage::Hit, WireMessage::Defeat}));
    EXPECT_EQ(reader.DroppedBytes(), 6u);
    // False starts: the reader gives up one byte at a time and finds the message inside.
    struct Case {
        const char* bytes;
        WireMessage message;
        std::uint64_t dropped;
    } cases[] = {
        {"gogogogo1", WireMessage::StartChinese, 2},  // an extra "go" in front
        {"jijia200", WireMessage::Hit, 2},
        {"ljcljcg", WireMessage::Connected, 3},
        {"tesbai", WireMessage::Defeat, 3},  // "tes" is dropped only when 'b' breaks it
        {"kaishictest", WireMessage::Heartbeat, 7},
        {"TESTtest", WireMessage::Heartbeat, 4},  // texts are case-sensitive
    };
    for (const Case& c : cases) {
        WireReader r;
        EXPECT_EQ(r.Feed(c.bytes), Messages{c.message}) << c.bytes;
        EXPECT_EQ(r.DroppedBytes(), c.dropped) << c.bytes;
        EXPECT_EQ(r.PendingBytes(), 0u) << c.bytes;
    }
}

TEST(WireReaderTest, UnfinishedMessageWaitsForTheRestAndGarbageEndsIt) {
    WireReader reader;
    EXPECT_EQ(reader.Feed("testjia2"), Messages{WireMessage::Heartbeat});
    EXPECT_EQ(reader.PendingBytes(), 4u);
    EXPECT_TRUE(reader.Feed("").empty());
    EXPECT_TRUE(reader.Feed("0").empty());
    EXPECT_EQ(reader.Feed("0"), Messages{WireMessage::Hit});
    EXPECT_EQ(reader.PendingBytes(), 0u);

    // The longest text, one byte per read, stays held until its last byte.
    const std::string_view longest = WireText(WireMessage::ShowConnect);
    for (std::size_t i = 0; i + 1 < longest.size(); ++i) {
        EXPECT_TRUE(reader.Feed(longest.substr(i, 1)).empty());
        EXPECT_EQ(reader.PendingBytes(), i + 1);
    }
    EXPECT_EQ(reader.Feed(longest.substr(longest.size() - 1)), Messages{WireMessage::ShowConnect});

    // A held start broken by a byte no text continues with is garbage, all of it.
    EXPECT_TRUE(reader.Feed("gogogo").empty());
    EXPECT_TRUE(reader.Feed("x").empty());
    EXPECT_EQ(reader.PendingBytes(), 0u);
    EXPECT_EQ(reader.DroppedBytes(), 7u);

    reader.Feed("ba");
    reader.Reset();
    EXPECT_EQ(reader.PendingBytes(), 0u);
    EXPECT_EQ(reader.DroppedBytes(), 0u);
    EXPECT_EQ(reader.MessagesRead(), 0u);
    EXPECT_TRUE(reader.Feed("i").empty());  // the old connection's "ba" is gone
}

TEST(WireReaderTest, RandomGarbageAndChunkingNeverLoseOrInventMessages) {
    std::array<bool, 256> startsText{};
    for (WireMessage m : kAll) startsText[static_cast<unsigned char>(WireText(m).front())] = true;
    std::string garbageBytes;
    for (int b = 0; b < 256; ++b) {
        if (!startsText[b]) garbageBytes += static_cast<char>(b);
    }

    std::mt19937 random(5238);
    auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    for (int iteration = 0; iteration < 2000; ++iteration) {
        Messages sent;
        std::string stream;
        std::uint64_t garbage = 0;
        for (std::size_t n = below(30); n > 0; --n) {
            for (std::size_t g = below(4) == 0 ? below(12) : 0; g > 0; --g, ++garbage) {
                stream += garbageBytes[below(garbageBytes.size())];
            }
            sent.push_back(kAll[below(kAll.size())]);
            stream += WireText(sent.back());
        }
        WireReader reader;
        Messages got;
        for (std::size_t at = 0; at < stream.size();) {
            std::size_t chunk = below(5) == 0 ? below(64) + 1 : below(4) + 1;
            reader.Feed(std::string_view(stream).substr(at, chunk), got);
            at += chunk;
        }
        ASSERT_EQ(got, sent) << "iteration " << iteration;
        ASSERT_EQ(reader.DroppedBytes(), garbage) << "iteration " << iteration;
        ASSERT_EQ(reader.PendingBytes(), 0u) << "iteration " << iteration;
    }
}

// The reader owns no memory that could grow: its whole state is a few numbers
// (nothing on the heap to copy), and what it holds back between reads stays
// below the longest text however hostile the stream.
static_assert(std::is_trivially_copyable_v<WireReader>);

TEST(WireReaderTest, TenMegabyteFloodHoldsBackLessThanOneMessage) {
    // Plain noise, and hostile noise made of message starts that never finish;
    // each 64 KiB read ends in the middle of a start, the longest one too.
    std::mt19937 random(1);
    std::string noise(kWireReadLimit, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    std::string starts;
    while (starts.size() < kWireReadLimit) starts += "gogogokaishiconjia20tesbaljc!";
    const std::string_view unfinished[] = {"kaishicon", "gogogo", "jia20", "tes", "lj"};

    WireReader reader;
    Messages got;
    std::uint64_t fed = 0;
    for (int read = 0; read < 160; ++read) {  // 160 reads of 64 KiB: 10 MiB
        std::string bytes = read % 2 ? noise : starts.substr(0, kWireReadLimit);
        const std::string_view tail = unfinished[read % std::size(unfinished)];
        bytes.replace(bytes.size() - tail.size(), tail.size(), tail);
        reader.Feed(bytes, got);
        fed += bytes.size();
        ASSERT_EQ(reader.PendingBytes(), tail.size()) << "read " << read;
        ASSERT_LT(reader.PendingBytes(), kLongestWireText);
    }
    // Random noise may spell a message now and then; every byte is accounted for.
    EXPECT_LE(got.size(), 160u);
    std::uint64_t inMessages = 0;
    for (WireMessage m : got) inMessages += WireText(m).size();
    EXPECT_EQ(reader.DroppedBytes() + inMessages + reader.PendingBytes(), fed);
}

TEST(WireAddressTest, DottedIpv4) {
    for (const wchar_t* text :
         {L"0.0.0.0", L"192.168.1.20", L"255.255.255.255", L"  10.0.0.1\t", L"\u30001.2.3.4\r\n"}) {
        EXPECT_EQ(ClassifyAddress(text), AddressKind::Ipv4) << text;
    }
    for (const wchar_t* text :
         {L"256.1.1.1", L"1.2.3.999", L"1.2.3", L"1.2.3.4.5", L"1..2.3", L".1.2.3.4", L"1.2.3.4.",
          L"+1.2.3.4", L"1.+2.3.4", L"-1.2.3.4", L"01.2.3.4", L"1.2.3.00", L"1000.1.1.1", L"0001.1.1.1",
          L"1.2.3.4 5", L"1.2.3.4:5238", L"１.2.3.4", L"1 .2.3.4"}) {
        EXPECT_EQ(ClassifyAddress(text), AddressKind::Invalid) << text;
    }
}

TEST(WireAddressTest, HostNames) {
    const std::wstring label63(63, L'a');
    std::wstring name253 = label63 + L'.' + label63 + L'.' + label63 + L'.' + std::wstring(61, L'b');
    ASSERT_EQ(name253.size(), 253u);
    for (const std::wstring& text :
         {L"localhost"s, L" My-PC "s, L"a.b-c.d9"s, L"1.2.3.4a"s, L"7z"s, label63, name253}) {
        EXPECT_EQ(ClassifyAddress(text), AddressKind::HostName) << text;
    }
    for (const std::wstring& text :
         {L""s, L" \t\u3000 "s, label63 + L'a', name253 + L'b', L"-pc"s, L"pc-"s, L"a.-b"s, L"a-.b"s,
          L"a..b"s, L".a"s, L"a."s, L"my_pc"s, L"my pc"s, L"主机"s, L"1234"s, L"1.2.3.4.5"s}) {
        EXPECT_EQ(ClassifyAddress(text), AddressKind::Invalid) << text;
    }
    EXPECT_EQ(TrimAddress(L" \u3000host.lan\t\r\n"), L"host.lan");
    EXPECT_EQ(TrimAddress(L"a b"), L"a b");
}

}  // namespace
}  // namespace quorlax
