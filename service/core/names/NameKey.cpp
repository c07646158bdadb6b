#include "service/core/names/NameKey.h"

namespace service {

std::string NameKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (const char c : name) {
        if (c >= 'A' && c <= 'Z') {
            key += static_cast<char>(c - 'A' + 'a');
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   static_cast<unsigned char>(c) >= 0x80) {
            key += c;
        }
    }
    return key;
}

}  // namespace service
