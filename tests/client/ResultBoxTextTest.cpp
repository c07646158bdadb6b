#include "client/ResultBoxText.h"

#include <gtest/gtest.h>

namespace client {
namespace {

using namespace Qt::StringLiterals;

const QString kLine = u"地理: 美国"_s;

QString Letters(qsizetype count) {
    return QString(count, u'x');
}

// count characters of words of seven letters, each followed by a space.
QString Words(qsizetype count) {
    return u"abcdefg "_s.repeated(count / 8 + 1).left(count);
}

struct ShownCase {
    const char* name;
    QString text;
    QString shown;
};

TEST(ResultBoxText, CutsEachLineAfterItsFirstThousandAndTwentyFourCharacters) {
    const qsizetype twoMebibytes = 2 * 1024 * 1024;
    const ShownCase cases[] = {
        {"empty", QString(), QString()},
        {"three short lines", kLine + u"\r\nAS15169\r\n"_s + kLine,
         kLine + u"\r\nAS15169\r\n"_s + kLine},
        {"empty lines", u"\r\n\r\n"_s, u"\r\n\r\n"_s},
        {"exactly the length", Letters(1024), Letters(1024)},
        {"one more", Letters(1025), Letters(1024)},
        {"2 MiB without spaces first", Letters(twoMebibytes) + u"\r\nB\r\nC"_s,
         Letters(1024) + u"\r\nB\r\nC"_s},
        {"2 MiB with spaces in the middle", u"A\r\n"_s + Words(twoMebibytes) + u"\r\nC"_s,
         u"A\r\n"_s + Words(1024) + u"\r\nC"_s},
        {"2 MiB last", u"A\r\nB\r\n"_s + Letters(twoMebibytes), u"A\r\nB\r\n"_s + Letters(1024)},
        {"lone CR and LF break lines too", Letters(1100) + u"\r"_s + Letters(1100) + u"\n"_s,
         Letters(1024) + u"\r"_s + Letters(1024) + u"\n"_s},
        {"a pair across the cut is left out whole", Letters(1023) + u"\U0001f600y"_s,
         Letters(1023)},
        {"a pair before the cut stays", Letters(1022) + u"\U0001f600y"_s,
         Letters(1022) + u"\U0001f600"_s},
    };
    for (const ShownCase& c : cases) {
        EXPECT_EQ(ResultBoxText(c.text), c.shown) << c.name;
    }
}

}  // namespace
}  // namespace client
