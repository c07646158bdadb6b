#include "HtmlEscape.h"

namespace service {

std::string EscapeHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string DisplayedValue(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                shown += "\uff06";
                break;
            case '<':
                shown += "\uff1c";
                break;
            case '>':
                shown += "\uff1e";
                break;
            default:
                shown += c;
        }
    }
    return shown;
}

}  // namespace service
