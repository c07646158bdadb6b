// Code page 936 both ways, as the lookup client and the button captions use it.
#include "codepage/CodePage936.h"

#include <gtest/gtest.h>

namespace {

struct ConversionCase {
    const char* name;
    QByteArray bytes;
    QString text;
};

const ConversionCase kBothWays[] = {
    {"empty", QByteArray(), QString()},
    {"Chinese", "\xb2\xe9\xd1\xaf", QStringLiteral(u"查询")},
    {"Chinese and ASCII", "OK \xc4\xe3\xba\xc3", QStringLiteral(u"OK 你好")},
    // The euro sign is kept at 0x80.
    {"the euro sign", "\xb9\xd8\xd3\xda Lokaro \x80", QStringLiteral(u"关于 Lokaro \u20ac")},
};

TEST(CodePage936, ConvertsBothWays) {
    for (const ConversionCase& c : kBothWays) {
        EXPECT_EQ(ToCodePage936(c.text), c.bytes) << c.name;
        EXPECT_EQ(FromCodePage936(c.bytes), c.text) << c.name;
    }
}

TEST(CodePage936, MarksCharactersItCannotHoldWithQuestionMarks) {
    const ConversionCase cases[] = {
        {"Thai and an emoji between ASCII", "a?b?c", QStringLiteral(u"a\u0e01b\U0001F600c")},
        {"an emoji alone", "?", QStringLiteral(u"\U0001f600")},
    };
    for (const ConversionCase& c : cases) EXPECT_EQ(ToCodePage936(c.text), c.bytes) << c.name;
}

TEST(CodePage936, ALoneLeadByteIsAReplacementCharacter) {
    EXPECT_EQ(FromCodePage936("ab\xb2"), QStringLiteral(u"ab\ufffd"));
}

}  // namespace
