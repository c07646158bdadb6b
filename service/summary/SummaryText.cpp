#include "service/summary/SummaryOutputs.h"
#include "service/summary/Utf8Text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace summary {
namespace {

constexpr std::string_view kNameHeading = "名称";
constexpr std::string_view kHitsHeading = "访问次数";
constexpr std::string_view kUniqueHeading = "不同地址";
constexpr std::string_view kShareHeading = "占比";
constexpr std::string_view kGap = "  ";

enum class Side { kLeft, kRight };

void AppendPadded(std::string& out, std::string_view text, std::size_t width, Side side) {
    const std::size_t padding = width - std::min(width, DisplayWidth(text));
    if (side == Side::kRight) out.append(padding, ' ');
    out += text;
    if (side == Side::kLeft) out.append(padding, ' ');
}

std::string Percentage(double share) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", share * 100.0);
    return text;
}

using Row = std::vector<std::string>;

// Each column as wide as its widest cell; no blanks at the end of a line.
void AppendTable(std::string& out, const std::vector<Row>& rows, const std::vector<Side>& sides) {
    std::vector<std::size_t> widths(sides.size(), 0);
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], DisplayWidth(row[i]));
        }
    }
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) out += kGap;
            const bool last = i + 1 == row.size();
            AppendPadded(out, row[i], last && sides[i] == Side::kLeft ? 0 : widths[i], sides[i]);
        }
        out += '\n';
    }
}

}  // namespace

std::string SummaryText(const Summary& summary) {
    std::string out;
    AppendTable(out,
                {{"行数", std::to_string(summary.lines)},
                 {"地址数", std::to_string(summary.addresses)},
                 {"不同地址数", std::to_string(summary.unique)},
                 {"跳过的行", std::to_string(summary.skipped)},
                 {"特殊地址", std::to_string(summary.special)}},
                {Side::kLeft, Side::kRight});
    for (const ListDescription& list : kLists) {
        const auto& entries = summary.top[static_cast<std::size_t>(list.kind)];
        out += '\n';
        out.append(list.heading)
            .append("（前 ")
            .append(std::to_string(entries.size()))
            .append("）\n");
        std::vector<Row> rows{{std::string(kNameHeading), std::string(kHitsHeading),
                               std::string(kUniqueHeading), std::string(kShareHeading)}};
        for (const SummaryEntry& entry : entries) {
            rows.push_back({entry.name, std::to_string(entry.hits), std::to_string(entry.unique),
                            Percentage(summary.ShareOf(entry))});
        }
        AppendTable(out, rows, {Side::kLeft, Side::kRight, Side::kRight, Side::kRight});
    }
    if (!summary.data.files.empty()) {
        out += "\n数据来源";
        if (!summary.data.made.empty())
            out.append("（编译于 ").append(summary.data.made).append("）");
        out += '\n';
        std::vector<Row> rows;
        for (const DataSource& source : summary.data.files) {
            rows.push_back({source.file, source.source});
        }
        AppendTable(out, rows, {Side::kLeft, Side::kLeft});
    }
    return out;
}

}  // namespace summary
