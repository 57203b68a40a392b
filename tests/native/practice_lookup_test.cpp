// The F1 code look-up on the joined code table: the label text, which
// characters are looked up, and the edges of the scan.
#include <gtest/gtest.h>

#include "platform/gbk.h"
#include "core/code_table.h"

namespace quorlax {
namespace {

TEST(CodeLookupTest, ShowsTheCharacterColonAndFourCodeCharacters) {
    const std::wstring table = L"中khk 国lgyi人www ";
    EXPECT_EQ(LookUpCode(table, L"中"), L"中：khk ");
    EXPECT_EQ(LookUpCode(table, L"国"), L"国：lgyi");
    EXPECT_EQ(LookUpCode(table, L"们"), std::nullopt);
    EXPECT_EQ(LookUpCode(L"", L"中"), std::nullopt);
}

TEST(CodeLookupTest, OnlyTwoByteCharactersBelowFC18AreLookedUp) {
    EXPECT_EQ(GbkCode(L'中'), 0xD6D0u);
    EXPECT_EQ(GbkCode(L'a'), 0x61u);
    EXPECT_EQ(GbkCode(L'\x0E01'), 0u) << "Thai has no GBK form";
    EXPECT_EQ(GbkCode(L'\xFA0C'), 0xFE40u);
    const std::wstring table = L"akhk 1abcd中khk \xFA0Cxxxx ";
    EXPECT_EQ(LookUpCode(table, L"a"), std::nullopt);
    EXPECT_EQ(LookUpCode(table, L"1"), std::nullopt);
    EXPECT_EQ(LookUpCode(table, L""), std::nullopt);
    EXPECT_EQ(LookUpCode(table, L"\xFA0C"), std::nullopt) << "GBK FE40 lies above FC18";
    EXPECT_EQ(LookUpCode(table, L"中"), L"中：khk ");
}

TEST(CodeLookupTest, TheLastOccurrenceBeforeTheFinalPlaceWins) {
    EXPECT_EQ(LookUpCode(L"中khk 国lgyi中khkg", L"中"), L"中：khkg");
    EXPECT_EQ(LookUpCode(L"国lgyi中", L"中"), std::nullopt) << "the scan stops one before the end";
    EXPECT_EQ(LookUpCode(L"中khk 国lgyi中", L"中"), L"中：khk ");
    EXPECT_EQ(LookUpCode(L"中", L"中"), std::nullopt);
}

TEST(CodeLookupTest, ACodeNearTheEndIsCutShort) {
    EXPECT_EQ(LookUpCode(L"国lgyi中kh", L"中"), L"中：kh");
    EXPECT_EQ(LookUpCode(L"中k", L"中"), L"中：k");
    EXPECT_EQ(LookUpCode(L"中khkg", L"中"), L"中：khkg");
}

}  // namespace
}  // namespace quorlax
