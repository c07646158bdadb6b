#include "service/core/DisplayedValue.h"

#include "service/core/ByteReplacements.h"

namespace service {

std::string DisplayedValue(std::string_view text) {
    static const ByteReplacements kFullWidth{{'&', "＆"}, {'<', "＜"}, {'>', "＞"}};
    return kFullWidth.Applied(text);
}

}  // namespace service
