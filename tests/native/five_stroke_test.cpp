// The five-stroke codes: the shipped codes file against the code table and
// the word pool, the look-ups, lines that cannot be read, typing by codes and
// the practice judge with its hint line.
#include "core/five_stroke.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/code_composer.h"
#include "platform/gbk.h"

namespace quorlax {
namespace {

const std::string kSourceDir = QUORLAX_SOURCE_DIR;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const FiveStrokeCodes& Shipped() {
    static const FiveStrokeCodes codes =
        FiveStrokeCodes::Parse(ReadBytes(kSourceDir + "/data/wubi86-codes.txt"));
    return codes;
}

using Codes = std::vector<std::string>;

TEST(FiveStrokeCodesTest, TheShippedFileHoldsEveryCodeOfTheTableAndThePool) {
    const FiveStrokeCodes& codes = Shipped();
    ASSERT_GT(codes.CodeCount(), 15000u) << "cannot read data/wubi86-codes.txt under " << kSourceDir;
    EXPECT_EQ(codes.SkippedLines(), 0u);

    // Each cell of the code table: a character and its full code, padded to four.
    const std::wstring table = JoinLines(DecodeGbk(ReadBytes(kSourceDir + "/data/vbcx.dll")));
    ASSERT_EQ(table.size(), 6763u * 5);
    for (size_t at = 0; at < table.size(); at += 5) {
        const std::wstring ch = table.substr(at, 1);
        std::wstring full = table.substr(at + 1, 4);
        full.erase(full.find_last_not_of(L' ') + 1);
        const Codes own = codes.CodesOf(ch);
        ASSERT_FALSE(own.empty()) << at / 5;
        EXPECT_EQ(std::wstring(own.back().begin(), own.back().end()), full)
            << "the longest code, cell " << at / 5;
    }

    // Every word of the pool has its word code of four letters.
    std::wistringstream pool(JoinLines(DecodeGbk(ReadBytes(kSourceDir + "/data/vbyx.dll"))));
    size_t words = 0;
    for (std::wstring word; pool >> word;) {
        if (word.size() < 2) continue;
        ++words;
        const Codes own = codes.CodesOf(word);
        ASSERT_FALSE(own.empty()) << words;
        for (const std::string& code : own) EXPECT_EQ(code.size(), 4u) << words;
    }
    EXPECT_EQ(words, 5000u);

    EXPECT_EQ(codes.CodesOf(L"中"), (Codes{"k", "kh", "khk"}));
    EXPECT_EQ(codes.CodesOf(L"国"), (Codes{"l", "lgy", "lgyi"}));
    EXPECT_EQ(codes.CodesOf(L"中国"), (Codes{"khlg"}));
}

// Codes of a made-up file, out of order, one listed twice.
constexpr std::string_view kSmall =
    "\xEF\xBB\xBF# code\ttext\tfrequency\r\n"
    "wwww\t人\t70\r\n"
    "fghg\t地\t5\n"
    "fghg\t垃\t90\n"
    "fghg\t均\t40\n"
    "fghg\t地\t60\n"
    "\n"
    "f\t地\t400\n"
    "fb\t地\t300\n"
    "w\t人\t500\n";

std::vector<std::wstring> Texts(const std::vector<CodeEntry>& entries) {
    std::vector<std::wstring> texts;
    for (const CodeEntry& e : entries) texts.emplace_back(e.text);
    return texts;
}

TEST(FiveStrokeCodesTest, LooksUpByCodeByTextAndByPrefix) {
    const FiveStrokeCodes codes = FiveStrokeCodes::Parse(kSmall);
    EXPECT_EQ(codes.SkippedLines(), 0u);
    const auto fghg = codes.EntriesOf("fghg");
    EXPECT_EQ(Texts(fghg), (std::vector<std::wstring>{L"垃", L"地", L"均"})) << "地 kept once";
    EXPECT_EQ(fghg[1].frequency, 60u) << "with the larger frequency";
    EXPECT_TRUE(codes.EntriesOf("fgh").empty());
    EXPECT_TRUE(codes.EntriesOf("fghgg").empty());
    EXPECT_EQ(codes.CodesOf(L"地"), (Codes{"f", "fb", "fghg"}));

    EXPECT_TRUE(codes.BeginsCodeOf(L"地", "fgh") && codes.BeginsCodeOf(L"地", "fghg"));
    EXPECT_FALSE(codes.BeginsCodeOf(L"垃", "fb") || codes.BeginsCodeOf(L"地", "F"));
    EXPECT_TRUE(codes.IsCodeOf(L"地", "f") && codes.IsCodeOf(L"均", "fghg"));
    EXPECT_FALSE(codes.IsCodeOf(L"地", "fg") || codes.IsCodeOf(L"地", ""));
    EXPECT_TRUE(codes.BeginsAnyCode("ww") && codes.BeginsAnyCode("fgh"));
    EXPECT_FALSE(codes.BeginsAnyCode("fa") || codes.BeginsAnyCode("y") || codes.BeginsAnyCode("z"));
}

TEST(FiveStrokeCodesTest, SkipsAndCountsLinesItCannotRead) {
    const FiveStrokeCodes codes = FiveStrokeCodes::Parse(
        "k\t中\t7\n"
        "z\t中\t1\n"           // z is no code key
        "khkgg\t中\t1\n"       // five letters
        "\t中\t1\n"            // no code
        "k\t\t1\n"             // no text
        "k\t中\n"              // no frequency
        "k\t中\t1\t2\n"        // a fourth field
        "k\t中\t4294967296\n"  // past 32 bits
        "k\t\xE4\xB8\t1\n"     // a broken UTF-8 sequence
        "k\ta\x01\t1\n"        // a control character
        "k\t𠀀\t4294967295");  // beyond the basic plane, no line end
    EXPECT_EQ(codes.SkippedLines(), 9u);
    EXPECT_EQ(Texts(codes.EntriesOf("k")), (std::vector<std::wstring>{L"𠀀", L"中"}));
}

TEST(CodeComposerTest, LettersAndSpaceTurnIntoTextTheCallersPreferenceFirst) {
    CodeComposer composer;
    auto type = [&](std::wstring_view keys, const FiveStrokeCodes& codes = Shipped(),
                    const CodeComposer::Prefer& prefer = nullptr) {
        Composed last;
        for (wchar_t key : keys) last = composer.Press(codes, key, prefer);
        return last;
    };
    for (auto [keys, text] :
         {std::pair{L"khk ", L"中"}, {L"lgyi", L"国"}, {L"k ", L"中"}, {L"khlg", L"中国"}}) {
        const Composed c = type(keys);
        EXPECT_EQ(c.step, Composed::Step::Text);
        EXPECT_EQ(c.text, text);
    }
    EXPECT_EQ(type(L"kh").step, Composed::Step::Pending);
    for (wchar_t other : std::wstring(L"zK1;\r")) EXPECT_EQ(type({&other, 1}).step, Composed::Step::NotTaken);
    EXPECT_EQ(composer.Pending(), "kh") << "keys outside a–y leave the code alone";
    EXPECT_EQ(type(L"\b\b").step, Composed::Step::Erased);
    EXPECT_EQ(type(L"\b").step, Composed::Step::NothingToErase);
    EXPECT_EQ(type(L" ").step, Composed::Step::NotTaken) << "Space with no letter";
    const Composed none = type(L"vvvy");
    EXPECT_EQ(none.step, Composed::Step::NoEntry);
    EXPECT_EQ(none.code, "vvvy");
    EXPECT_TRUE(composer.Pending().empty());

    const FiveStrokeCodes small = FiveStrokeCodes::Parse(kSmall);
    EXPECT_EQ(type(L"fghg", small).text, L"垃");
    EXPECT_EQ(type(L"fghg", small, [](std::wstring_view t) { return t != L"垃"; }).text, L"地")
        << "the most frequent accepted";
    EXPECT_EQ(type(L"fghg", small, [](std::wstring_view) { return false; }).text, L"垃");
}

TEST(PracticeJudgeTest, TellsTheWrongKeyAndWhereTheCodeWentOff) {
    const FiveStrokeCodes& codes = Shipped();
    EXPECT_EQ(JudgeKey(codes, L"鬼", "rqc", L'i'), KeyVerdict::Right);
    EXPECT_EQ(JudgeKey(codes, L"鬼", "rqc", L' '), KeyVerdict::Right);
    EXPECT_EQ(JudgeKey(codes, L"中", "k", L' '), KeyVerdict::Right);
    EXPECT_EQ(JudgeKey(codes, L"鬼", "r", L'w'), KeyVerdict::WrongLetter);
    EXPECT_EQ(JudgeKey(codes, L"鬼", "rq", L' '), KeyVerdict::WrongSpace);
    EXPECT_EQ(JudgeKey(codes, L"鬼", "r", L'z'), KeyVerdict::WrongKey);
    EXPECT_EQ(JudgeKey(codes, L"鬼", "r", L'\b'), KeyVerdict::NotJudged);
    EXPECT_EQ(JudgeKey(codes, L"，", "", L'a'), KeyVerdict::NotJudged) << "no code to judge by";

    EXPECT_EQ(FindMiss(codes, L"鬼", "rq", L' '), (CodeMiss{3, L'c', L' '})) << "for the radical chart";
    EXPECT_EQ(FindMiss(codes, L"鬼", "rqc", L'i'), std::nullopt);
    EXPECT_EQ(MissHint(codes, L"鬼", "r", L'w'), L"鬼 rqc / rqci：第 2 键应为 q，按了 w");
    EXPECT_EQ(MissHint(codes, L"鬼", "rw", L'x'), L"鬼 rqc / rqci：第 2 键应为 q，按了 w")
        << "the first key off";
    EXPECT_EQ(MissHint(codes, L"鬼", "rq", L' '), L"鬼 rqc / rqci：编码未完，第 3 键应为 c，按了空格");
    EXPECT_EQ(MissHint(codes, L"鬼", "r", L'z'), L"鬼 rqc / rqci：第 2 键应为 q，按了 z（编码只用 a～y）");
    EXPECT_EQ(MissHint(codes, L"中", "k", L'x'), L"中 k / kh / khk：第 2 键应为 h，按了 x");
    EXPECT_EQ(MissHint(codes, L"中", "khk", L'x'), L"中 k / kh / khk：第 4 键应为空格，按了 x");
    EXPECT_EQ(MissHint(codes, L"，", "", L'a'), L"，：没有五笔编码");
}

}  // namespace
}  // namespace quorlax
