#include "service/http/HeadChecks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace service {
namespace {

struct HeadRow {
    const char* name;
    std::vector<HeaderField> headers;  // after Host: x
    std::optional<int> refusal;
};

class HeadRefusalTest : public testing::TestWithParam<HeadRow> {};

// The checks on their own, with what the HTTP library would never pass on as well (a NUL
// in a value, lengths it refuses itself), so that they hold whatever the library lets by.
TEST_P(HeadRefusalTest, RefusesWithItsStatus) {
    RequestHead head{"/ips8.asp", "HTTP/1.1", {{"Host", "x"}}, 100};
    head.headers.insert(head.headers.end(), GetParam().headers.begin(), GetParam().headers.end());
    EXPECT_EQ(HeadRefusal(head, 4096), GetParam().refusal);
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Rows, HeadRefusalTest,
    testing::Values(
        HeadRow{"plain", {{"Content-Length", "10"}}, std::nullopt},
        HeadRow{"lengthAtTheLimit", {{"Content-Length", "4096"}}, std::nullopt},
        HeadRow{"lengthOverTheLimit", {{"Content-Length", "4097"}}, 413},
        HeadRow{"lengthBeyondSixtyFourBits", {{"Content-Length", "100000000000000000000000"}}, 400},
        HeadRow{"negativeLength", {{"Content-Length", "-1"}}, 400},
        HeadRow{"lengthList", {{"Content-Length", "10, 10"}}, 400},
        HeadRow{"emptyLength", {{"Content-Length", ""}}, 400},
        HeadRow{
            "sameLengthTwice", {{"Content-Length", "10"}, {"content-length", "10"}}, std::nullopt},
        HeadRow{"chunkedInCapitals", {{"Transfer-Encoding", "CHUNKED"}}, std::nullopt},
        HeadRow{"gzip", {{"Transfer-Encoding", "gzip"}}, 501},
        HeadRow{
            "chunkedAndLength", {{"transfer-encoding", "chunked"}, {"Content-Length", "0"}}, 400},
        HeadRow{"nulInAValue", {{"X-Forwarded-For", "8.8.8.8\0x"sv}}, 400},
        HeadRow{"deleteInAValue", {{"X-A", "a\x7f"}}, 400},
        HeadRow{"tabAndHighBytesInAValue", {{"X-A", "a\tb \xe4\xb8\xad"}}, std::nullopt},
        HeadRow{"emptyName", {{"", "v"}}, 400}, HeadRow{"colonInName", {{"X:A", "v"}}, 400},
        HeadRow{"secondHostInAnotherCase", {{"HOST", "y"}}, 400}),
    [](const auto& info) { return info.param.name; });

TEST(HeadRefusalTest, SizesAndHostsByVersion) {
    const std::string longTarget(kMostHeadBytes + 1, 'a');
    EXPECT_EQ(HeadRefusal({longTarget, "HTTP/1.1", {{"Host", "x"}}, kMostHeadBytes + 40}, 0), 414);
    EXPECT_EQ(HeadRefusal({"/", "HTTP/1.1", {{"Host", "x"}}, kMostHeadBytes + 1}, 0), 431);
    EXPECT_EQ(HeadRefusal({"/", "HTTP/1.1", {{"Host", "x"}}, kMostHeadBytes}, 0), std::nullopt);
    EXPECT_EQ(HeadRefusal({"/", "HTTP/1.1", {}, 20}, 0), 400);
    EXPECT_EQ(HeadRefusal({"/", "HTTP/1.0", {}, 20}, 0), std::nullopt);
}

}  // namespace
}  // namespace service
