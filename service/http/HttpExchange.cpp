#include "service/http/HttpExchange.h"

#include <algorithm>

namespace service {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<std::string_view> IncomingRequest::LastHeader(std::string_view name) const {
    const auto found = std::find_if(headers.rbegin(), headers.rend(), [&](const HeaderField& f) {
        return EqualsIgnoringCase(f.first, name);
    });
    if (found == headers.rend()) return std::nullopt;
    return found->second;
}

}  // namespace service
