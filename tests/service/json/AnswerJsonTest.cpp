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
}  // namespace
}  // namespace service
