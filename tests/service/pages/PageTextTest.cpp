#include "service/core/DisplayedValue.h"
#include "service/pages/CodePage936Encoding.h"
#include "service/pages/HtmlEscape.h"

#include <gtest/gtest.h>

namespace service {
namespace {

TEST(EscapeHtmlTest, EscapesTheFiveSpecialCharacters) {
    EXPECT_EQ(EscapeHtml("<a href=\"x\">Tom's & Jerry's</a>"),
              "&lt;a href=&quot;x&quot;&gt;Tom&#39;s &amp; Jerry&#39;s&lt;/a&gt;");
}

TEST(EscapeHtmlTest, LeavesOtherTextAlone) {
    EXPECT_EQ(EscapeHtml("AS15169 Google LLC 美国"), "AS15169 Google LLC 美国");
    EXPECT_EQ(EscapeHtml(""), "");
}

// The program reads the pages as GBK: the full-width forms must come through.
TEST(DisplayedValueTest, FullWidthFormsAreInGbk) {
    EXPECT_EQ(EncodeCodePage936(DisplayedValue("<&>")), "\xa3\xbc\xa3\xa6\xa3\xbe");
}

TEST(EncodeCodePage936Test, EncodesChineseAsCodePage936) {
    EXPECT_EQ(EncodeCodePage936("美国"), "\xc3\xc0\xb9\xfa");
    EXPECT_EQ(EncodeCodePage936("：["), "\xa3\xba[");
}

TEST(EncodeCodePage936Test, JoinsAsciiRunsAndCharactersInOrder) {
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
    for (const auto& [utf8, gbk] : rows) EXPECT_EQ(EncodeCodePage936(utf8), gbk) << utf8;
}

TEST(EncodeCodePage936Test, KeepsAsciiAsItIs) {
    const std::string ascii = "<li>AS13335 Cloudflare, Inc.</li>\r\n";
    EXPECT_EQ(EncodeCodePage936(ascii), ascii);
}

TEST(EncodeCodePage936Test, ReplacesWhatGbkCannotHoldWithOneQuestionMarkEach) {
    // D with stroke and a with breve and dot below are not in GBK; a with grave is.
    EXPECT_EQ(EncodeCodePage936("\u0110\u00e0 N\u1eb5ng"), "?\xa8\xa4 N?ng");
    // A character outside the Basic Multilingual Plane is one mark too.
    EXPECT_EQ(EncodeCodePage936("a\U0001F600b"), "a?b");
}

TEST(EncodeCodePage936Test, LeavesOutDefaultIgnorableCharactersItCannotHold) {
    // Soft hyphen, zero-width space, and a language tag beyond the plane.
    EXPECT_EQ(EncodeCodePage936("a\u00ad\u200bb\U000E0001c"), "abc");
}

TEST(EncodeCodePage936Test, MarksCharactersTheCodePageWritesAsOneHighByte) {
    // 0x80 and 0xFF alone would take the next byte into a pair in the program's decoder.
    EXPECT_EQ(EncodeCodePage936("\u20ac美"), "?\xc3\xc0");
    EXPECT_EQ(EncodeCodePage936("a\uf8f5<"), "a?<");
}

TEST(EncodeCodePage936Test, ReplacesEachMalformedPartOfUtf8WithOneMark) {
    EXPECT_EQ(EncodeCodePage936("a\xff"
                                "b"),
              "a?b");
    // A cut-off three-byte sequence is one part; a stray continuation byte is another.
    EXPECT_EQ(EncodeCodePage936("a\xe7\xbe"
                                "b\x80\x80"),
              "a?b??");
    // An encoded surrogate is ill-formed from its second byte on: three marks.
    EXPECT_EQ(EncodeCodePage936("\xed\xa0\x80"), "???");
}
}  // namespace
}  // namespace service
