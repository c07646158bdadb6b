#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace service {

// The text as a number of this type when it is nothing but decimal digits that fit it.
template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace service
