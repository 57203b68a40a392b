// The two practice text sources: the built-in text drawn from the word pool
// (one random value per pick, the repeat rule, pools that give no text) and
// the decoding of a chosen file.
#include <gtest/gtest.h>

#include "platform/gbk.h"
#include "platform/random.h"
#include "practice/builtin_text.h"
#include "practice/chosen_text.h"
#include "support/fakes.h"

namespace quorlax {
namespace {

using test::SequenceRandom;

// The r that makes nearest(n * r) + 1 pick position k, n = length − 30.
double Pick(size_t k, const std::wstring& pool) {
    return static_cast<double>(k - 1) / static_cast<double>(pool.size() - 30);
}

std::wstring Repeat(const std::wstring& s, int times) {
    std::wstring out;
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

// Two-character words, each after a blank: 21 words, 64 characters.
const std::wstring kTwoCharPool = Repeat(L" 中国 人民 我们 世界 和平 学习 工作", 3) + L" ";

TEST(BuiltInTextTest, TwoCharacterWordsGiveExactlyThousandWideCharacters) {
    SeededRandom random(12345);
    std::wstring lastWord;
    std::wstring text = BuildPracticeText(kTwoCharPool, random, lastWord);
    ASSERT_EQ(text.size(), 1000u);
    for (wchar_t c : text) EXPECT_EQ(ClassifyGbk(c), CharClass::Wide);
    for (size_t i = 0; i < text.size(); i += 2)
        EXPECT_NE(kTwoCharPool.find(L' ' + text.substr(i, 2) + L' '), std::wstring::npos) << i;
    EXPECT_EQ(lastWord, text.substr(998));
}

TEST(BuiltInTextTest, EachAttemptOfAPickTakesOneValue) {
    const std::wstring& pool = kTwoCharPool;
    SequenceRandom r{Pick(2, pool), Pick(3, pool), Pick(4, pool)};  // wide, wide, then " 人民"
    r.SetFallback({0.0});                                           // position 1: " 中国"
    std::wstring lastWord;
    std::wstring text = BuildPracticeText(pool, r, lastWord);
    EXPECT_EQ(text, L"人民" + Repeat(L"中国", 499));
    EXPECT_EQ(r.taken, 502);
}

TEST(BuiltInTextTest, LongRunsRepeatTheLastWordWhichIsEmptyAtStartUp) {
    // Position 1 starts a seven-character run, position 9 the word 中国.
    const std::wstring pool = L" 中华人民共和国 中国" + Repeat(L" ", 30);
    SequenceRandom r{Pick(1, pool), Pick(9, pool)};
    r.SetFallback({Pick(1, pool)});
    std::wstring lastWord;
    EXPECT_EQ(BuildPracticeText(pool, r, lastWord), Repeat(L"中国", 499));
    EXPECT_EQ(r.taken, 500) << "a long run takes no further value";
    EXPECT_EQ(lastWord, L"中国");

    SequenceRandom only_long;
    only_long.SetFallback({Pick(1, pool)});
    std::wstring fresh;
    EXPECT_EQ(BuildPracticeText(pool, only_long, fresh), L"");
    EXPECT_EQ(only_long.taken, 500);
    std::wstring kept = L"人民";  // the word of an earlier run survives
    EXPECT_EQ(BuildPracticeText(pool, only_long, kept), Repeat(L"人民", 500));
}

TEST(BuiltInTextTest, PoolsThatCannotGiveATextAreToldAndNeverLoop) {
    // The only pair may sit at position length − 29 at the latest.
    const std::wstring at_limit = Repeat(L"a", 10) + L" 中" + Repeat(L"a", 28);  // 40, pair at 11
    const std::wstring past_limit = Repeat(L"a", 11) + L" 中" + Repeat(L"a", 27);
    EXPECT_TRUE(CanBuildPracticeText(at_limit));
    EXPECT_FALSE(CanBuildPracticeText(past_limit));
    SequenceRandom near_end;
    near_end.SetFallback({0.2, 0.99});  // position 3 (no pair), then 11
    std::wstring lastWord;
    EXPECT_EQ(BuildPracticeText(at_limit, near_end, lastWord), Repeat(L"中", 500));

    const std::wstring short_pool = Repeat(L" 中国", 9) + L" ";  // 28 characters
    for (const std::wstring& pool : {short_pool, past_limit, std::wstring(), Repeat(L"中国", 20)}) {
        EXPECT_FALSE(CanBuildPracticeText(pool));
        SequenceRandom empty;  // any draw would throw
        std::wstring word = L"人民";
        EXPECT_EQ(BuildPracticeText(pool, empty, word), L"");
        EXPECT_EQ(empty.taken, 0);
        EXPECT_EQ(word, L"人民");
    }
}

// --- chosen file ---

const std::string kUtf8Mark = "\xEF\xBB\xBF";

std::wstring Decode(std::string_view bytes) {
    ChosenFile file = DecodePracticeFile(bytes);
    EXPECT_EQ(file.error, PracticeFileError::None);
    EXPECT_EQ(file.length(), static_cast<std::int32_t>(file.text.size()));
    return file.text;
}

TEST(ChosenTextTest, LinesJoinWhateverTheirEnds) {
    EXPECT_EQ(Decode("ab\r\ncd\r\nef"), L"abcdef");
    EXPECT_EQ(DecodePracticeFile("ab\r\ncd\r\nef\r\n").length(), 6);
    EXPECT_EQ(Decode("ab\ncd\ref\n\n\r\r\n"), L"abcdef");
}

TEST(ChosenTextTest, AFileWithNoCharacterLeftIsRefusedAsUnreadable) {
    for (const std::string& bytes :
         {std::string(), kUtf8Mark, kUtf8Mark + "\r\n", std::string("\r\n\n\r\x01"),
          std::string("\xFE\xFF\x00\x0D\x00\x0A", 6)}) {
        const ChosenFile file = DecodePracticeFile(bytes);
        EXPECT_EQ(file.error, PracticeFileError::Unreadable) << bytes.size();
        EXPECT_TRUE(file.text.empty());
    }
    EXPECT_EQ(Decode("\r\n \r\n"), L" ") << "a blank is a character to type";
}

TEST(ChosenTextTest, TabsBecomeBlanksAndControlCharactersGo) {
    EXPECT_EQ(Decode(std::string("a\tb\x01\x1b\x7f\0c", 8)), L"a bc");
    EXPECT_EQ(Decode(kUtf8Mark + "\xC2\x85x\xC2\xA0"), L"x\u00A0") << "C1 controls go, other characters stay";
}

TEST(ChosenTextTest, GbkUnlessValidUtf8) {
    EXPECT_EQ(Decode("\xD6\xD0\xB9\xFA\r\nab"), L"中国ab");
    EXPECT_EQ(Decode("\xE4\xB8\xAD\xE5\x9B\xBD\n"), L"中国") << "valid UTF-8 without a mark";
    const std::string mixed = "\xE4\xB8\xAD\xD6\xD0";  // UTF-8 中, then GBK 中
    EXPECT_EQ(Decode(mixed), DecodeGbk(mixed)) << "one invalid sequence makes the whole file GBK";
    EXPECT_EQ(Decode("\xC0\xAF"), DecodeGbk("\xC0\xAF")) << "an overlong form is no UTF-8";
}

TEST(ChosenTextTest, ByteOrderMarksChooseTheEncoding) {
    EXPECT_EQ(Decode(kUtf8Mark + "a\xE4\xB8\xAD"), L"a中");
    EXPECT_EQ(Decode(kUtf8Mark + "a\xFF" + "b"), L"a\uFFFDb") << "broken UTF-8 after a mark is replaced";
    EXPECT_EQ(Decode(std::string("\xFF\xFE\x2D\x4E\x0D\x00\x0A\x00\xFD\x56", 10)), L"中国");
    EXPECT_EQ(Decode(std::string("\xFE\xFF\x4E\x2D\x00\x0A\x56\xFD", 8)), L"中国");
    EXPECT_EQ(Decode(std::string("\xFF\xFE\x61\x00\x62", 5)), L"a\uFFFD") << "an odd last byte";
}

TEST(ChosenTextTest, CharactersBeyondSixteenBitsTakeOneReplacementCell) {
    EXPECT_EQ(Decode(std::string("a\xF0\x9F\x98\x80") + "b"), L"a\uFFFDb");
    EXPECT_EQ(Decode(std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xD8\x61\x00", 10)), L"\uFFFD\uFFFDa")
        << "a pair, then a lone surrogate";
}

TEST(ChosenTextTest, FilesOverSixtyFourMebibytesAreRefused) {
    EXPECT_FALSE(PracticeFileTooLarge(kMaxPracticeFileBytes));
    EXPECT_TRUE(PracticeFileTooLarge(kMaxPracticeFileBytes + 1));
    std::string big(kMaxPracticeFileBytes + 1, 'a');
    ChosenFile file = DecodePracticeFile(big);
    EXPECT_EQ(file.error, PracticeFileError::TooLarge);
    EXPECT_TRUE(file.text.empty());
    for (auto error : {PracticeFileError::TooLarge, PracticeFileError::Unreadable})
        EXPECT_NE(PracticeFileMessage(error, L"C:\\长文.txt").find(L"C:\\长文.txt"), std::wstring::npos);
}

TEST(ChosenTextTest, CellCaptionsCoverTheGridOnly) {
    const std::wstring text = Repeat(L"中", 405) + L"ab";
    EXPECT_EQ(CellCaption(text, 1), L"中");
    EXPECT_EQ(CellCaption(text, 406), L"a");
    EXPECT_EQ(CellCaption(text, 407), L"");
    EXPECT_EQ(CellCaption(text, 0), L"");
    EXPECT_EQ(CellCaption(L"ab", 3), L"");
}

}  // namespace
}  // namespace quorlax
