#include "HtmlEscape.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace service {
namespace {

using Replacements = std::initializer_list<std::pair<char, std::string_view>>;

// The text with each character that has a replacement written as that replacement.
std::string Replaced(std::string_view text, Replacements replacements) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto found =
            std::find_if(replacements.begin(), replacements.end(),
                         [c](const auto& replacement) { return replacement.first == c; });
        if (found == replacements.end()) {
            result += c;
        } else {
            result += found->second;
        }
    }
    return result;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    return Replaced(
        text, {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"}});
}

std::string DisplayedValue(std::string_view text) {
    return Replaced(text, {{'&', "＆"}, {'<', "＜"}, {'>', "＞"}});
}

}  // namespace service
