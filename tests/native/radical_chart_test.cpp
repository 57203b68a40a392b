// The key list the radical chart is drawn from, checked against the keyboard
// layout of the five-stroke method and against the shipped code table; the
// record window's keyboard keeps to it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gbk.h"
#include "practice/key_record.h"

namespace quorlax {
namespace {

// The source tree, so the test reads the files that ship.
const std::string kSourceDir = QUORLAX_SOURCE_DIR;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Enough UTF-8 for the chart's file: one- to three-byte sequences (the basic
// plane, where every hanzi of GB 2312 lies). Anything else is U+FFFD.
std::wstring FromUtf8(const std::string& bytes) {
    std::wstring out;
    for (size_t i = 0; i < bytes.size();) {
        auto b = static_cast<unsigned char>(bytes[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : -1;
        if (extra < 0 || i + extra >= bytes.size()) {
            out.push_back(L'\xFFFD');
            ++i;
            continue;
        }
        unsigned c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : (b & 0x0F);
        for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        out.push_back(static_cast<wchar_t>(c));
        i += extra + 1;
    }
    return out;
}

struct Key {
    std::wstring zone;      // zone and position, two digits
    wchar_t name = 0;       // the key-name character
    std::wstring radicals;  // the radicals shown beside the key-name character
};

struct KeyList {
    std::map<wchar_t, Key> keys;
    std::vector<int> bad_lines;  // line numbers that do not have the four fields
};

// Lines "LETTER ZONEPOS NAMECHAR RADICALS"; '#' starts a comment line.
KeyList ReadKeys(const std::wstring& text) {
    KeyList list;
    std::wistringstream lines(text);
    std::wstring line;
    for (int n = 1; std::getline(lines, line); ++n) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.empty() || line[0] == L'#') continue;
        std::wistringstream fields(line);
        std::wstring letter, zone, name, radicals, rest;
        fields >> letter >> zone >> name >> radicals >> rest;
        if (letter.size() != 1 || name.size() != 1 || radicals.empty() || !rest.empty()) {
            list.bad_lines.push_back(n);
            continue;
        }
        list.keys[letter[0]] = Key{zone, name[0], radicals};
    }
    return list;
}

// The code a look-up shows: the four characters after the last occurrence.
std::wstring CodeOf(const std::wstring& table, wchar_t c) {
    size_t at = table.rfind(c);
    if (at == std::wstring::npos || at + 1 >= table.size()) return L"";
    return table.substr(at + 1, 4);
}

class RadicalChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text = ReadBytes(kSourceDir + "/data/art/wubi86_keys.txt");
        ASSERT_FALSE(text.empty()) << "cannot read data/art/wubi86_keys.txt under " << kSourceDir;
        KeyList list = ReadKeys(FromUtf8(text));
        EXPECT_TRUE(list.bad_lines.empty()) << "malformed line " << list.bad_lines.front();
        keys_ = list.keys;
    }
    std::map<wchar_t, Key> keys_;
};

TEST_F(RadicalChartTest, TwentyFiveKeysFromAToYWithoutZ) {
    EXPECT_EQ(keys_.size(), 25u);
    for (wchar_t c = L'A'; c <= L'Y'; ++c) EXPECT_EQ(keys_.count(c), 1u) << static_cast<char>(c);
    EXPECT_EQ(keys_.count(L'Z'), 0u) << "Z is the wildcard key, it carries no radicals";
}

TEST_F(RadicalChartTest, ZonesFollowTheFirstStrokeAndPositionsRunFromTheMiddle) {
    // Zone n: the keys in position order 1..5, from the middle of the keyboard outwards.
    const wchar_t* zones[] = {L"GFDSA", L"HJKLM", L"TREWQ", L"YUIOP", L"NBVCX"};
    for (int z = 0; z < 5; ++z)
        for (int p = 0; p < 5; ++p) {
            wchar_t letter = zones[z][p];
            std::wstring expected{static_cast<wchar_t>(L'1' + z), static_cast<wchar_t>(L'1' + p)};
            EXPECT_EQ(keys_[letter].zone, expected) << static_cast<char>(letter);
        }
}

TEST_F(RadicalChartTest, EachRadicalStandsOnOneKeyOnly) {
    std::set<wchar_t> seen;
    for (const auto& [letter, key] : keys_) {
        EXPECT_TRUE(seen.insert(key.name).second) << static_cast<char>(letter);
        for (wchar_t r : key.radicals) {
            EXPECT_EQ(ClassifyGbk(r), CharClass::Wide) << static_cast<char>(letter) << ": not a GBK hanzi";
            EXPECT_TRUE(seen.insert(r).second) << static_cast<char>(letter) << ": a radical repeated";
        }
        EXPECT_LE(key.radicals.size(), 8u)
            << static_cast<char>(letter) << ": more than the chart has room for";
    }
}

TEST_F(RadicalChartTest, KeyNameCharactersAreTypedWithTheirKeyFourTimes) {
    std::string bytes = ReadBytes(kSourceDir + "/data/vbcx.dll");
    ASSERT_FALSE(bytes.empty()) << "cannot read data/vbcx.dll under " << kSourceDir;
    std::wstring table = JoinLines(DecodeGbk(bytes));
    for (const auto& [letter, key] : keys_) {
        wchar_t lower = static_cast<wchar_t>(letter - L'A' + L'a');
        EXPECT_EQ(CodeOf(table, key.name), std::wstring(4, lower)) << static_cast<char>(letter);
    }
}

TEST_F(RadicalChartTest, TheRecordWindowsKeyboardShowsTheKeysAsTheChartDoes) {
    ASSERT_EQ(kCodeKeyboard.size(), keys_.size());
    const std::wstring rows[] = {L"QWERTYUIOP", L"ASDFGHJKL", L"XCVBNM"};  // as tools/make_chart.py lays them
    for (const CodeKey& key : kCodeKeyboard) {
        const wchar_t upper = static_cast<wchar_t>(key.letter - 'a' + L'A');
        ASSERT_EQ(keys_.count(upper), 1u) << key.letter;
        const Key& chart = keys_[upper];
        EXPECT_EQ(key.zone, chart.zone) << key.letter;
        EXPECT_EQ(key.name, chart.name) << key.letter;
        EXPECT_EQ(key.radicals, chart.radicals) << key.letter;
        ASSERT_TRUE(key.row >= 0 && key.row < 3) << key.letter;
        EXPECT_EQ(rows[key.row].find(upper), static_cast<size_t>(key.column)) << key.letter;
    }
}

}  // namespace
}  // namespace quorlax
