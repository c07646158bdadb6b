#include "service/pages/HtmlEscape.h"

#include "service/core/ByteReplacements.h"

namespace service {

std::string EscapeHtml(std::string_view text) {
    static const ByteReplacements kEntities{
        {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"}};
    return kEntities.Applied(text);
}

}  // namespace service
