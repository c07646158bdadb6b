#include "input/AddressCheck.h"

#include <gtest/gtest.h>

namespace {

struct NormaliseCase {
    const char* name;
    QString typed;
    QString normalised;
};

class NormaliseAddressTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseAddressTest, AppliesBothRulesInOrder) {
    EXPECT_EQ(NormaliseAddress(GetParam().typed), GetParam().normalised);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NormaliseAddressTest,
    ::testing::Values(
        NormaliseCase{"SpacesAround", QStringLiteral(" 8.8.8.8 "), QStringLiteral("8.8.8.8")},
        NormaliseCase{"ManySpaces", QStringLiteral("   1.2.3.4  "), QStringLiteral("1.2.3.4")},
        NormaliseCase{"InnerSpaceStays", QStringLiteral("1.2. 3.4"), QStringLiteral("1.2. 3.4")},
        NormaliseCase{"TabStays", QStringLiteral("\t1.2.3.4"), QStringLiteral("\t1.2.3.4")},
        NormaliseCase{"IdeographicSpaceStays", QStringLiteral(u"　1.2.3.4"),
                      QStringLiteral(u"　1.2.3.4")},
        NormaliseCase{"Wildcard", QStringLiteral("1.2.3.*"), QStringLiteral("1.2.3.0")},
        NormaliseCase{"WildcardAfterDigit", QStringLiteral("1.2.3.4*"), QStringLiteral("1.2.3.40")},
        NormaliseCase{"LoneStar", QStringLiteral("*"), QStringLiteral("0")},
        NormaliseCase{"OnlyLastStar", QStringLiteral("1.2.*.*"), QStringLiteral("1.2.*.0")},
        NormaliseCase{"TwoTrailingStars", QStringLiteral("1.2.3.**"), QStringLiteral("1.2.3.*0")},
        NormaliseCase{"StarThenSpaces", QStringLiteral("1.2.3.*  "), QStringLiteral("1.2.3.0")},
        NormaliseCase{"Empty", QString(), QString()},
        NormaliseCase{"OnlySpaces", QStringLiteral("   "), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValidityCase {
    const char* name;
    QString address;
    bool valid;
};

class IsValidAddressTest : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(IsValidAddressTest, AcceptsExactlyDottedQuadsBelow256) {
    EXPECT_EQ(IsValidAddress(GetParam().address), GetParam().valid)
        << GetParam().address.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Examples, IsValidAddressTest,
    ::testing::Values(ValidityCase{"AllMax", QStringLiteral("255.255.255.255"), true},
                      ValidityCase{"AllZero", QStringLiteral("0.0.0.0"), true},
                      ValidityCase{"Google", QStringLiteral("8.8.8.8"), true},
                      ValidityCase{"LeadingZeros", QStringLiteral("01.002.3.4"), true},
                      ValidityCase{"LeadingZeroIsDecimal", QStringLiteral("010.0.0.1"), true},
                      ValidityCase{"FromWildcard", QStringLiteral("1.2.3.0"), true},
                      ValidityCase{"First256", QStringLiteral("256.1.1.1"), false},
                      ValidityCase{"Second256", QStringLiteral("1.256.1.1"), false},
                      ValidityCase{"Third256", QStringLiteral("1.1.256.1"), false},
                      ValidityCase{"Fourth256", QStringLiteral("1.1.1.256"), false},
                      ValidityCase{"Group999", QStringLiteral("1.2.3.999"), false},
                      ValidityCase{"ThreeGroups", QStringLiteral("1.2.3"), false},
                      ValidityCase{"FiveGroups", QStringLiteral("1.2.3.4.5"), false},
                      ValidityCase{"FourDigits", QStringLiteral("1234.1.1.1"), false},
                      ValidityCase{"StarInside", QStringLiteral("1.2.*.0"), false},
                      ValidityCase{"TrailingSpace", QStringLiteral("1.2.3.4 "), false},
                      ValidityCase{"InnerSpace", QStringLiteral("1.2. 3.4"), false},
                      ValidityCase{"Empty", QString(), false},
                      ValidityCase{"LoneZero", QStringLiteral("0"), false},
                      ValidityCase{"EmptyGroup", QStringLiteral("1..3.4"), false},
                      ValidityCase{"DoubleDot", QStringLiteral("1.2.3..4"), false},
                      ValidityCase{"FullWidthDigit", QStringLiteral(u"1.2.3.４"), false},
                      ValidityCase{"ArabicIndicDigit", QStringLiteral(u"1.2.3.\u0664"), false},
                      ValidityCase{"SignedGroup", QStringLiteral("1.2.3.+4"), false},
                      ValidityCase{"LineBreakAfter", QStringLiteral("1.2.3.4\n"), false},
                      ValidityCase{"LineBreakBefore", QStringLiteral("\n1.2.3.4"), false},
                      ValidityCase{"SecondLineMatches", QStringLiteral("x\r\n1.2.3.4"), false},
                      ValidityCase{"TwoAddressLines", QStringLiteral("1.2.3.4\n5.6.7.8"), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IsOctetInRangeTest, BoundaryAndDecimalReading) {
    EXPECT_TRUE(IsOctetInRange(QStringLiteral("0")));
    EXPECT_TRUE(IsOctetInRange(QStringLiteral("255")));
    EXPECT_TRUE(IsOctetInRange(QStringLiteral("010")));
    EXPECT_TRUE(IsOctetInRange(QStringLiteral("099")));
    EXPECT_FALSE(IsOctetInRange(QStringLiteral("256")));
    EXPECT_FALSE(IsOctetInRange(QStringLiteral("999")));
}

}  // namespace
