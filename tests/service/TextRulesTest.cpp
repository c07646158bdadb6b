#include "CountryNames.h"
#include "FormFields.h"
#include "GbkEncoding.h"
#include "HtmlEscape.h"
#include "LocationText.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

namespace service {
namespace {

TEST(FormFieldTest, FindsTheFieldTheProgramPosts) {
    EXPECT_EQ(FormField("ip=8.8.8.8&action=2", "ip"), "8.8.8.8");
    EXPECT_EQ(FormField("action=2&ip=1.2.3.4", "ip"), "1.2.3.4");
    EXPECT_EQ(FormField("action=2", "ip"), std::nullopt);
    EXPECT_EQ(FormField("", "ip"), std::nullopt);
}

TEST(FormFieldTest, FirstOccurrenceWins) {
    EXPECT_EQ(FormField("ip=1.1.1.1&ip=2.2.2.2", "ip"), "1.1.1.1");
}

TEST(FormFieldTest, NameMustMatchWholly) {
    EXPECT_EQ(FormField("zip=1.1.1.1&ipx=2&ip=3.3.3.3", "ip"), "3.3.3.3");
}

TEST(FormFieldTest, FieldWithoutValueIsEmpty) {
    EXPECT_EQ(FormField("ip&action=2", "ip"), "");
    EXPECT_EQ(FormField("ip=&action=2", "ip"), "");
}

TEST(FormFieldTest, DecodesPlusAndPercentEscapes) {
    EXPECT_EQ(FormField("ip=%3Cb%3E+x%2b", "ip"), "<b> x+");
    EXPECT_EQ(FormField("i%70=1", "ip"), "1");
}

TEST(FormFieldTest, KeepsMalformedEscapes) {
    EXPECT_EQ(FormField("ip=%G1%4", "ip"), "%G1%4");
    EXPECT_EQ(FormField("ip=%", "ip"), "%");
}

TEST(EscapeHtmlTest, EscapesTheFiveSpecialCharacters) {
    EXPECT_EQ(EscapeHtml("<a href=\"x\">Tom's & Jerry's</a>"),
              "&lt;a href=&quot;x&quot;&gt;Tom&#39;s &amp; Jerry&#39;s&lt;/a&gt;");
}

TEST(EscapeHtmlTest, LeavesOtherTextAlone) {
    EXPECT_EQ(EscapeHtml("AS15169 Google LLC 美国"), "AS15169 Google LLC 美国");
    EXPECT_EQ(EscapeHtml(""), "");
}

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

// The program reads the pages as GBK: the full-width forms must come through.
TEST(DisplayedValueTest, FullWidthFormsAreInGbk) {
    EXPECT_EQ(EncodeGbk(DisplayedValue("<&>")), "\xa3\xbc\xa3\xa6\xa3\xbe");
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

TEST(EncodeGbkTest, EncodesChineseAsCodePage936) {
    EXPECT_EQ(EncodeGbk("美国"), "\xc3\xc0\xb9\xfa");
    EXPECT_EQ(EncodeGbk("：["), "\xa3\xba[");
}

TEST(EncodeGbkTest, JoinsAsciiRunsAndCharactersInOrder) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""},
        {"美", "\xc3\xc0"},
        {"a美", "a\xc3\xc0"},
        {"美a",
         "\xc3\xc0"
         "a"},
        {"a美b国c",
         "a\xc3\xc0"
         "b\xb9\xfa"
         "c"},
        {"ab\xe7\xbe", "ab?"},
    };
    for (const auto& [utf8, gbk] : rows) EXPECT_EQ(EncodeGbk(utf8), gbk) << utf8;
}

TEST(EncodeGbkTest, KeepsAsciiAsItIs) {
    const std::string ascii = "<li>AS13335 Cloudflare, Inc.</li>\r\n";
    EXPECT_EQ(EncodeGbk(ascii), ascii);
}

TEST(EncodeGbkTest, ReplacesWhatGbkCannotHoldWithOneQuestionMarkEach) {
    // D with stroke and a with breve and dot below are not in GBK; a with grave is.
    EXPECT_EQ(EncodeGbk("\u0110\u00e0 N\u1eb5ng"), "?\xa8\xa4 N?ng");
    // A character outside the Basic Multilingual Plane is one mark too.
    EXPECT_EQ(EncodeGbk("a\U0001F600b"), "a?b");
}

TEST(EncodeGbkTest, LeavesOutDefaultIgnorableCharactersItCannotHold) {
    // Soft hyphen, zero-width space, and a language tag beyond the plane.
    EXPECT_EQ(EncodeGbk("a\u00ad\u200bb\U000E0001c"), "abc");
}

TEST(EncodeGbkTest, MarksCharactersTheCodePageWritesAsOneHighByte) {
    // 0x80 and 0xFF alone would take the next byte into a pair in the program's decoder.
    EXPECT_EQ(EncodeGbk("\u20ac美"), "?\xc3\xc0");
    EXPECT_EQ(EncodeGbk("a\uf8f5<"), "a?<");
}

TEST(EncodeGbkTest, ReplacesEachMalformedPartOfUtf8WithOneMark) {
    EXPECT_EQ(EncodeGbk("a\xff"
                        "b"),
              "a?b");
    // A cut-off three-byte sequence is one part; a stray continuation byte is another.
    EXPECT_EQ(EncodeGbk("a\xe7\xbe"
                        "b\x80\x80"),
              "a?b??");
    // An encoded surrogate is ill-formed from its second byte on: three marks.
    EXPECT_EQ(EncodeGbk("\xed\xa0\x80"), "???");
}

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
    testing::Values(CountryRow{"US", "美国"}, CountryRow{"CN", "中国"},
                    CountryRow{"JP", "日本"}, CountryRow{"HK", "香港"},
                    CountryRow{"MO", "澳门"}, CountryRow{"AE", "阿联酋"},
                    CountryRow{"de", "德国"},  // the case of the code does not matter
                    CountryRow{"ZZ", "未知"}, CountryRow{"", "未知"},
                    CountryRow{"AP", "AP"}),  // a code ICU has no name for stays itself
    [](const auto& info) {
        return std::string(info.param.code).empty() ? std::string("empty")
                                                    : std::string(info.param.code);
    });

}  // namespace
}  // namespace service
