#include "service/http/FormFields.h"

namespace service {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string DecodeFormText(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            decoded += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

}  // namespace

std::optional<std::string> FormField(std::string_view body, std::string_view name) {
    while (!body.empty()) {
        const std::size_t end = body.find('&');
        const std::string_view pair = body.substr(0, end);
        const std::size_t equals = pair.find('=');
        if (DecodeFormText(pair.substr(0, equals)) == name) {
            return equals == std::string_view::npos ? std::string()
                                                    : DecodeFormText(pair.substr(equals + 1));
        }
        if (end == std::string_view::npos) break;
        body.remove_prefix(end + 1);
    }
    return std::nullopt;
}

}  // namespace service
