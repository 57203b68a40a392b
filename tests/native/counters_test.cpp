// Counter texts and nearest(): the conversions every rule goes through.
#include "core/counters.h"

#include <gtest/gtest.h>

#include "platform/nearest.h"

namespace quorlax {
namespace {

TEST(NearestTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(nearest(2.5), 2);
    EXPECT_EQ(nearest(3.5), 4);
    EXPECT_EQ(nearest(0.5), 0);
    EXPECT_EQ(nearest(-0.5), 0);
    EXPECT_EQ(nearest(-1.5), -2);
    EXPECT_EQ(nearest(2.4999), 2);
    EXPECT_EQ(nearest(2.5001), 3);
    EXPECT_EQ(nearest(25.0 * 0.999999), 25);
}

TEST(CountersTest, ParseNumberAcceptsDecimalTextOnly) {
    EXPECT_EQ(ParseNumber(L"1500"), 1500.0);
    EXPECT_EQ(ParseNumber(L" -2 "), -2.0);
    EXPECT_EQ(ParseNumber(L"85.7"), 85.7);
    EXPECT_FALSE(ParseNumber(L""));
    EXPECT_FALSE(ParseNumber(L"-"));
    EXPECT_FALSE(ParseNumber(L"12abc"));
    EXPECT_FALSE(ParseNumber(L"蓝色"));
    EXPECT_EQ(CounterValue(L"junk"), 0.0);
}

TEST(CountersTest, ParseInt32TakesSignedColoursAndRejectsTheRest) {
    EXPECT_EQ(ParseInt32(L"16744448"), 16744448);  // 0xFF8000
    EXPECT_EQ(ParseInt32(L"-2147483633"), static_cast<std::int32_t>(0x8000000F));
    EXPECT_EQ(ParseInt32(L"2147483647"), INT32_MAX);
    EXPECT_FALSE(ParseInt32(L"2147483648"));
    EXPECT_FALSE(ParseInt32(L"99999999999"));
    EXPECT_FALSE(ParseInt32(L"12.5"));
    EXPECT_FALSE(ParseInt32(L"&HFF8000"));
    EXPECT_FALSE(ParseInt32(L""));
}

TEST(CountersTest, CounterTextIsPlainDecimal) {
    EXPECT_EQ(CounterText(0), L"0");
    EXPECT_EQ(CounterText(-3), L"-3");
    EXPECT_EQ(CounterText(140000), L"140000");
}

}  // namespace
}  // namespace quorlax
