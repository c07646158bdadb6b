// Captions as the buttons hand them to the painters: code page 936, at most 254 bytes.
#include "skin/ButtonCaption.h"

#include <gtest/gtest.h>

namespace {

// "查" and "询" in code page 936.
constexpr char kCha[] = "\xb2\xe9";
constexpr char kXun[] = "\xd1\xaf";

QString Repeated(QStringView piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

struct CutCase {
    const char* name;
    QString text;
    QByteArray bytes;
};

class CaptionCut : public testing::TestWithParam<CutCase> {};

TEST_P(CaptionCut, KeepsWholeCharactersUpTo254Bytes) {
    const QByteArray caption = CaptionBytes(GetParam().text);
    EXPECT_EQ(caption.size(), GetParam().bytes.size());
    EXPECT_EQ(caption, GetParam().bytes);
}

const QString kChinese150 = Repeated(QString::fromUtf16(u"查询"), 75);
const QByteArray kChineseBytes150 = QByteArray(kCha).append(kXun).repeated(75);

INSTANTIATE_TEST_SUITE_P(
    Captions, CaptionCut,
    testing::Values(
        CutCase{"empty", {}, {}},
        CutCase{"short", QString::fromUtf16(u"查询"), QByteArray(kCha).append(kXun)},
        CutCase{"ascii_300", QString(300, u'x'), QByteArray(254, 'x')},
        CutCase{"ascii_254", QString(254, u'y'), QByteArray(254, 'y')},
        // 150 two-byte characters are 300 bytes: 127 of them fill 254 exactly.
        CutCase{"chinese_300", kChinese150, kChineseBytes150.left(254)},
        // One ASCII byte first puts a lead byte at byte 254: it goes with its character.
        CutCase{"lead_byte_at_254", u'a' + kChinese150, "a" + kChineseBytes150.left(252)},
        CutCase{"pair_ending_at_254", QStringLiteral("ab") + kChinese150,
                "ab" + kChineseBytes150.left(252)}),
    [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

}  // namespace
