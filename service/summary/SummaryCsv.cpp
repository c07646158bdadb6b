#include "service/summary/SummaryOutputs.h"

#include <cstdio>

namespace summary {
namespace {

// A field as a spreadsheet reads it back: quoted where it holds a separator, a quote or a
// line break. A name from the data that a spreadsheet would take for a formula ("=", "+",
// "-", "@" first) gets a leading apostrophe, so that opening the file runs nothing.
std::string CsvField(std::string_view text) {
    std::string field;
    if (!text.empty() &&
        std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        field += '\'';
    }
    field += text;
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string Fraction(double share) {
    char text[16];
    std::snprintf(text, sizeof text, "%.6f", share);
    return text;
}

}  // namespace

std::string SummaryCsv(const Summary& summary) {
    std::string out = "list,rank,name,hits,unique,share\r\n";
    for (const ListDescription& list : kLists) {
        std::size_t rank = 0;
        for (const SummaryEntry& entry : summary.top[static_cast<std::size_t>(list.kind)]) {
            out.append(list.key).append(",").append(std::to_string(++rank)).append(",");
            out.append(CsvField(entry.name)).append(",").append(std::to_string(entry.hits));
            out.append(",").append(std::to_string(entry.unique)).append(",");
            out.append(Fraction(summary.ShareOf(entry))).append("\r\n");
        }
    }
    return out;
}

}  // namespace summary
