#include "service/http/AccessLogLine.h"

namespace service {
namespace {

std::string Printable(std::string_view text, bool upperCase = false) {
    constexpr std::size_t kLimit = 200;
    std::string printable;
    printable.reserve(std::min(text.size(), kLimit) + 3);
    for (char c : text.substr(0, kLimit)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f || c == '"') {
            c = '?';
        } else if (upperCase && c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        printable += c;
    }
    if (text.size() > kLimit) printable += "...";
    return printable;
}

}  // namespace

std::string AccessLogLine(std::string_view peer, std::string_view method, std::string_view target,
                          int status, std::size_t bodyBytes) {
    return Printable(peer) + " \"" + Printable(method, true) + " " + Printable(target) + "\" " +
           std::to_string(status) + " " + std::to_string(bodyBytes);
}

}  // namespace service
