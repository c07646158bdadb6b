#include "service/http/FormFields.h"

#include <gtest/gtest.h>

#include <optional>

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
}  // namespace
}  // namespace service
