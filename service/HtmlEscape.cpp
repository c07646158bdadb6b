#include "HtmlEscape.h"

#include <array>
#include <initializer_list>
#include <utility>

namespace service {
namespace {

using Replacements = std::initializer_list<std::pair<char, std::string_view>>;

// The text with each character that has a replacement written as that replacement.
std::string Replaced(std::string_view text, Replacements replacements) {
    std::array<const std::string_view*, 256> replacementOf{};
    for (const auto& [character, replacement] : replacements) {
        replacementOf[static_cast<unsigned char>(character)] = &replacement;
    }
    std::string result;
    result.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view* replacement = replacementOf[static_cast<unsigned char>(text[i])];
        if (replacement == nullptr) continue;
        result.append(text.substr(copied, i - copied));
        result += *replacement;
        copied = i + 1;
    }
    result.append(text.substr(copied));
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
