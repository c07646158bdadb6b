#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace service {

// What each byte of a text is written as, made once for each set of replacements; bytes
// without a replacement are copied in runs.
class ByteReplacements {
public:
    ByteReplacements(std::initializer_list<std::pair<char, std::string_view>> replacements) {
        for (const auto& [character, replacement] : replacements) {
            m_replacementOf[static_cast<unsigned char>(character)] = replacement;
        }
    }

    std::string Applied(std::string_view text) const {
        std::string result;
        result.reserve(text.size());
        std::size_t copied = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::string_view replacement =
                m_replacementOf[static_cast<unsigned char>(text[i])];
            if (replacement.empty()) continue;
            result.append(text.substr(copied, i - copied));
            result += replacement;
            copied = i + 1;
        }
        result.append(text.substr(copied));
        return result;
    }

private:
    std::array<std::string_view, 256> m_replacementOf{};  // empty: the byte stays
};

}  // namespace service
