#include "service/core/DisplayedValue.h"
#include "service/core/LocationText.h"
#include "service/core/names/CountryNames.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

namespace service {
namespace {

TEST(DisplayedValueTest, ReplacesAtTheEdgesAndSideBySide) {
    const std::pair<const char*, const char*> rows[] = {
        {"&", "＆"}, {"&&", "＆＆"}, {"x&", "x＆"}, {"&x", "＆x"}, {"<>x<", "＜＞x＜"},
    };
    for (const auto& [text, shown] : rows) EXPECT_EQ(DisplayedValue(text), shown) << text;
}

TEST(DisplayedValueTest, MarkupCharactersBecomeFullWidth) {
    EXPECT_EQ(DisplayedValue("Andrews & Arnold Ltd"), "Andrews ＆ Arnold Ltd");
    EXPECT_EQ(DisplayedValue("<b>\"x\" 'y'</b>"), "＜b＞\"x\" 'y'＜/b＞");
    EXPECT_EQ(DisplayedValue("&amp;"), "＆amp;");
    EXPECT_EQ(DisplayedValue(DisplayedValue("a<&>b")), "a＜＆＞b");
}

struct LocationTextRow {
    const char* name;
    std::vector<std::string_view> parts;
    const char* text;
};

class LocationTextTest : public testing::TestWithParam<LocationTextRow> {};

TEST_P(LocationTextTest, NamesEachPlaceOnce) {
    const auto& parts = GetParam().parts;
    EXPECT_EQ(LocationText({parts[0], parts[1], parts[2]}), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocationTextTest,
    testing::Values(
        LocationTextRow{"allParts", {"中国", "广东省", "广州市"}, "中国 广东省 广州市"},
        LocationTextRow{"noRegion", {"新加坡", "", "新加坡"}, "新加坡"},
        LocationTextRow{"citySameAsRegion", {"中国", "北京市", "北京市"}, "中国 北京市"},
        LocationTextRow{"citySameButForSuffix", {"中国", "北京市", "北京"}, "中国 北京市"},
        LocationTextRow{"regionSameAsCountry", {"香港", "香港", ""}, "香港"},
        LocationTextRow{"suffixOnlyIsNoName", {"中国", "市", "市"}, "中国 市"},
        LocationTextRow{"noRegionNoCity", {"日本", "", ""}, "日本"},
        LocationTextRow{"nothing", {"", "", ""}, ""}),
    [](const auto& info) { return info.param.name; });

struct CountryRow {
    const char* code;
    const char* name;
};

class CountryNamesTest : public testing::TestWithParam<CountryRow> {};

TEST_P(CountryNamesTest, GivesTheShortChineseName) {
    static const CountryNames names;
    EXPECT_EQ(names.NameOf(GetParam().code), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CountryNamesTest,
    testing::Values(CountryRow{"US", "美国"}, CountryRow{"CN", "中国"}, CountryRow{"JP", "日本"},
                    CountryRow{"HK", "香港"}, CountryRow{"MO", "澳门"}, CountryRow{"AE", "阿联酋"},
                    CountryRow{"de", "德国"},  // the case of the code does not matter
                    CountryRow{"ZZ", "未知"}, CountryRow{"", "未知"},
                    CountryRow{"AP", "AP"}),  // a code ICU has no name for stays itself
    [](const auto& info) {
        return std::string(info.param.code).empty() ? std::string("empty")
                                                    : std::string(info.param.code);
    });
}  // namespace
}  // namespace service
