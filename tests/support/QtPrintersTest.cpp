// Failure messages show Qt's texts and geometry as text.
#include <gtest/gtest.h>

namespace {

struct PrintCase {
    const char* name;
    QString text;
    std::string printed;
};

TEST(QtPrinters, PrintTextsQuotedWithInvisibleCharactersEscaped) {
    const PrintCase cases[] = {
        {"null", QString(), "QString()"},
        {"empty", QStringLiteral(""), "\"\""},
        {"Chinese as UTF-8", QStringLiteral(u"地理: 美国"), "\"地理: 美国\""},
        {"line ends, quotes and backslashes", QStringLiteral("a\r\n\"b\\\t"),
         "\"a\\r\\n\\\"b\\\\\\t\""},
        {"controls, replacement, private use", QStringView(u"\0\x1b\ufffd\ue000", 4).toString(),
         "\"\\u0000\\u001b\\ufffd\\ue000\""},
    };
    for (const PrintCase& c : cases) EXPECT_EQ(testing::PrintToString(c.text), c.printed) << c.name;
}

TEST(QtPrinters, PrintGeometryByItsFields) {
    EXPECT_EQ(testing::PrintToString(QRect(104, 48, 156, 13)), "QRect(104, 48, 156, 13)");
    EXPECT_EQ(testing::PrintToString(QSize(367, 193)), "QSize(367, 193)");
    EXPECT_EQ(testing::PrintToString(QPoint(6, 0)), "QPoint(6, 0)");
}

}  // namespace
