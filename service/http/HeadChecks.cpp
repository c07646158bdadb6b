#include "service/http/HeadChecks.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace service {
namespace {

// The characters of a header name (a token).
bool IsTokenCharacter(char c) {
    constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           kMarks.find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenCharacter);
}

// Tabs are allowed in a value; other control characters are not.
bool HasControlCharacter(std::string_view value) {
    return std::any_of(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t') || byte == 0x7f;
    });
}

std::vector<std::string_view> ValuesOf(const RequestHead& head, std::string_view name) {
    std::vector<std::string_view> values;
    for (const auto& [key, value] : head.headers) {
        if (EqualsIgnoringCase(key, name)) values.push_back(value);
    }
    return values;
}

std::optional<std::uint64_t> Length(std::string_view text) {
    std::uint64_t length = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return length;
}

}  // namespace

std::optional<int> HeadRefusal(const RequestHead& head, std::size_t bodyLimit) {
    if (head.target.size() > kMostHeadBytes) return 414;
    if (head.bytes > kMostHeadBytes) return 431;
    for (const auto& [name, value] : head.headers) {
        if (!IsToken(name) || HasControlCharacter(value)) return 400;
    }
    if (head.version == "HTTP/1.1" && ValuesOf(head, "Host").size() != 1) return 400;

    const std::vector<std::string_view> lengths = ValuesOf(head, "Content-Length");
    const std::vector<std::string_view> encodings = ValuesOf(head, "Transfer-Encoding");
    if (encodings.size() > 1 || (!encodings.empty() && !lengths.empty())) return 400;
    if (!encodings.empty()) {
        return EqualsIgnoringCase(encodings.front(), "chunked") ? std::nullopt
                                                                : std::optional<int>(501);
    }
    if (lengths.empty()) return std::nullopt;
    const std::optional<std::uint64_t> length = Length(lengths.front());
    const bool allSame = std::all_of(lengths.begin(), lengths.end(), [&](std::string_view other) {
        return other == lengths.front();
    });
    if (!length || !allSame) return 400;
    if (*length > bodyLimit) return 413;
    return std::nullopt;
}

}  // namespace service
