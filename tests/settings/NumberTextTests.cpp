#include "settings/ConfNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace mirufon
{
namespace
{

TEST(ReadNumberTest, ReadsTheLeadingNumberAndIgnoresTheRest)
{
    struct Case
    {
        std::wstring text;
        double expected;
    };
    const Case cases[] = {
        {L"", 0.0},
        {L"yes", 0.0},
        {L"-", 0.0},
        {L".", 0.0},
        {L"12", 12.0},
        {L" \t\n\r12", 12.0},
        {L"+5", 5.0},
        {L"-3.25xyz", -3.25},
        {L".5", 0.5},
        {L"5.", 5.0},
        {L"1.2.3", 1.2},
        {L"10x", 10.0},
        {L"7000.5", 7000.5},
        {L"1 2", 1.0},
        {L"- 5", 0.0},
        {L"+-5", 0.0},
        {L"1e3", 1.0},
        {L"1,5", 1.0},
        {L"\u3000"
         L"5",
         0.0},
        {L"\uFF11\uFF12", 0.0}, // full-width digits are not digits
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ReadNumber(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(ReadNumberTest, DigitStringsBeyondDoubleDoNotBreak)
{
    const std::wstring huge(400, L'9');
    EXPECT_EQ(ReadNumber(huge), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadNumber(L"-" + huge + L".5"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadNumber(L"0." + std::wstring(400, L'0') + L"1"), 0.0);
    EXPECT_EQ(ReadNumber(std::wstring(400, L'0') + L"42"), 42.0);
}

TEST(ConvertWholeNumberTest, AcceptsOnlyAWholeNumberWithSpacesAround)
{
    EXPECT_EQ(ConvertWholeNumber(L"12"), 12.0);
    EXPECT_EQ(ConvertWholeNumber(L"  -3  "), -3.0);
    EXPECT_EQ(ConvertWholeNumber(L"+4.5"), 4.5);
    EXPECT_EQ(ConvertWholeNumber(L".5"), 0.5);
    EXPECT_EQ(ConvertWholeNumber(L"5."), 5.0);

    for (const wchar_t* text : {L"", L"  ", L".", L"-", L"1x", L"x1", L"1 2", L"1.2.3", L"--1",
                                L"1e3", L"\t1", L"1\r", L"0x10"})
    {
        const std::wstring wide(text);
        EXPECT_FALSE(ConvertWholeNumber(wide)) << std::string(wide.begin(), wide.end());
    }
}

TEST(RoundingTest, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(4500.5), 4500.0);
    EXPECT_EQ(RoundHalfEven(4501.5), 4502.0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3.0);
    EXPECT_EQ(RoundHalfEven(-2.5000001), -3.0);
    // floor(x + 0.5) would give 1 here.
    EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0.0);
    EXPECT_EQ(RoundHalfEven(4503599627370495.5), 4503599627370496.0); // 2^52 - 0.5
    EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
}

TEST(RoundingTest, IntegerFieldsRefuseWhatDoesNotFit)
{
    EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
    EXPECT_FALSE(RoundToInt32(2147483647.5)); // rounds up to 2^31
    EXPECT_EQ(RoundToInt32(-2147483648.5), -2147483647 - 1);
    EXPECT_FALSE(RoundToInt32(-2147483649.0));
    EXPECT_FALSE(RoundToInt32(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(RoundToInt32(std::nan("")));

    EXPECT_EQ(RoundToInt16(32767.0), 32767);
    EXPECT_FALSE(RoundToInt16(32767.5));
    EXPECT_EQ(RoundToInt16(-32768.5), -32768);
    EXPECT_FALSE(RoundToInt16(40000.0));
    EXPECT_FALSE(RoundToInt16(-std::numeric_limits<double>::infinity()));
}

} // namespace
} // namespace mirufon
