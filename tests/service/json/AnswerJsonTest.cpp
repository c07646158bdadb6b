#include "service/json/AnswerJson.h"

#include <gtest/gtest.h>

#include <string>

namespace service {
namespace {

TEST(JsonTextTest, BytesThatAreNoUtf8BecomeReplacementCharacters) {
    LookupAnswer answer;
    answer.network.text = "AS1 Caf\xe9";
    const std::string text = JsonText(AnswerObject("1.2.3.4", answer));
    EXPECT_NE(text.find("\"text\":\"AS1 Caf\xef\xbf\xbd\""), std::string::npos) << text;
}
// The direct writer gives the bytes of the general one for every kind of text: escapes,
// characters beyond ASCII, and each way UTF-8 can be broken (replaced as the general one
// replaces them).
TEST(AppendAnswerJsonTest, WritesTheBytesOfTheObjectDump) {
    const std::string texts[] = {"",
                                 "中国 广东省",
                                 "\"q\" \\ \b\f\n\r\t",
                                 std::string("\0\x01\x1f\x7f", 4),
                                 "😀 4 bytes",
                                 "Caf\xe9",
                                 "\xc0\xaf overlong",
                                 "\xed\xa0\x80 surrogate",
                                 "\xf4\x90\x80\x80 too high",
                                 "\xe4\xb8 cut",
                                 "\x80 stray"};
    for (const std::string& text : texts) {
        LookupAnswer answer;
        answer.location = {"CN", text, text, "", text};
        answer.network = {4134, text, "", text};
        answer.registeredCountry = {"", text, text};
        for (const bool special : {false, true}) {
            if (special) answer.specialRange = text;
            std::string direct = "x";
            AppendAnswerJson(direct, text, answer);
            std::string dumped = "x";
            dumped += JsonText(AnswerObject(text, answer));
            EXPECT_EQ(direct, dumped) << text;
        }
    }
}

}  // namespace
}  // namespace service
