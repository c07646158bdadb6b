#include "service/summary/SummaryOutputs.h"

#include "service/pages/DataCredit.h"
#include "service/pages/HtmlEscape.h"

#include <algorithm>
#include <cstdio>

namespace summary {
namespace {

// The page may fetch nothing: no script, no font, no picture, only its own style.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"/>\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
    "style-src 'unsafe-inline'\"/>\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
    "<title>访问来源摘要</title>\n"
    "<style>\n"
    "body{margin:24px auto;max-width:960px;padding:0 16px;color:#1f2933;background:#fff;"
    "font:15px/1.5 \"Noto Sans CJK SC\",\"Source Han Sans SC\",\"WenQuanYi Micro Hei\","
    "\"Microsoft YaHei\",\"PingFang SC\",\"AR PL UMing CN\",sans-serif}\n"
    "h1{font-size:26px;margin:0 0 16px}\n"
    "h2{font-size:19px;margin:28px 0 8px;padding-bottom:4px;border-bottom:2px solid #d9e2ec}\n"
    ".totals{display:flex;flex-wrap:wrap;gap:12px;margin:0;padding:0;list-style:none}\n"
    ".totals li{flex:1 1 140px;background:#f0f4f8;border-radius:6px;padding:10px 14px}\n"
    ".totals b{display:block;font-size:22px;font-variant-numeric:tabular-nums}\n"
    "table{border-collapse:collapse;width:100%}\n"
    "th,td{padding:3px 8px;text-align:right;white-space:nowrap;"
    "font-variant-numeric:tabular-nums}\n"
    "th{color:#52606d;font-weight:normal;border-bottom:1px solid #d9e2ec}\n"
    "th.name,td.name{text-align:left;white-space:normal;width:38%}\n"
    "td.bar{width:260px}\n"
    "td.bar svg{display:block}\n"
    ".empty{color:#7b8794}\n"
    "footer{margin-top:32px;color:#52606d;font-size:13px}\n"
    "footer table{width:auto}\n"
    "footer td{text-align:left;padding:1px 12px 1px 0;white-space:normal}\n"
    "</style></head>\n<body>\n<h1>访问来源摘要</h1>\n";

constexpr int kBarWidth = 260;
constexpr int kBarHeight = 14;
constexpr std::string_view kBarColour = "#2f6fbf";
constexpr std::string_view kTrackColour = "#e4ebf3";

std::string Number(double value, const char* format) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A count with its thousands grouped, "1,234,567", as the page is read, not parsed.
std::string Grouped(std::uint64_t count) {
    const std::string digits = std::to_string(count);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

// A bar as long as the entry's hits are to the longest's, with the share as its text for
// those who cannot see it.
std::string Bar(double fraction, std::string_view label) {
    const std::string width = std::to_string(kBarWidth);
    const std::string height = std::to_string(kBarHeight);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
           "\" viewBox=\"0 0 " + width + " " + height + "\" role=\"img\" aria-label=\"" +
           std::string(label) + "\"><rect width=\"" + width + "\" height=\"" + height +
           "\" fill=\"" + std::string(kTrackColour) + "\"/><rect width=\"" +
           Number(fraction * kBarWidth, "%.2f") + "\" height=\"" + height + "\" fill=\"" +
           std::string(kBarColour) + "\"/></svg>";
}

void AppendTotals(std::string& page, const Summary& summary) {
    page += "<ul class=\"totals\">\n";
    for (const auto& [label, value] :
         {std::pair{"行数", summary.lines}, std::pair{"地址数", summary.addresses},
          std::pair{"不同地址数", summary.unique}, std::pair{"跳过的行", summary.skipped},
          std::pair{"特殊地址", summary.special}}) {
        page.append("<li>").append(label).append("<b>").append(Grouped(value));
        page += "</b></li>\n";
    }
    page += "</ul>\n";
}

void AppendList(std::string& page, const Summary& summary, const ListDescription& list) {
    const auto& entries = summary.top[static_cast<std::size_t>(list.kind)];
    page.append("<section id=\"").append(list.key).append("\">\n<h2>").append(list.heading);
    page.append("（前 ").append(std::to_string(entries.size())).append("）</h2>\n");
    if (entries.empty()) {
        page += "<p class=\"empty\">没有地址</p>\n</section>\n";
        return;
    }
    page +=
        "<table>\n<thead><tr><th class=\"name\">名称</th><th></th><th>访问次数</th>"
        "<th>不同地址</th><th>占比</th></tr></thead>\n<tbody>\n";
    const double longest = static_cast<double>(entries.front().hits);
    for (const SummaryEntry& entry : entries) {
        const std::string share = Number(summary.ShareOf(entry) * 100.0, "%.1f%%");
        page.append("<tr><td class=\"name\">").append(service::EscapeHtml(entry.name));
        page.append("</td><td class=\"bar\">");
        page.append(Bar(static_cast<double>(entry.hits) / longest, share));
        page.append("</td><td>").append(Grouped(entry.hits));
        page.append("</td><td>").append(Grouped(entry.unique));
        page.append("</td><td>").append(share).append("</td></tr>\n");
    }
    page += "</tbody>\n</table>\n</section>\n";
}

void AppendFooter(std::string& page, const Summary& summary) {
    page += "<footer>\n<p>";
    page += service::kDataCreditHtml;
    page += "</p>\n";
    if (!summary.data.made.empty()) {
        page.append("<p>数据集编译于 ").append(service::EscapeHtml(summary.data.made));
        page += "</p>\n";
    }
    if (!summary.data.files.empty()) {
        page += "<table>\n";
        for (const DataSource& source : summary.data.files) {
            page.append("<tr><td>").append(service::EscapeHtml(source.file));
            page.append("</td><td>").append(service::EscapeHtml(source.source));
            page += "</td></tr>\n";
        }
        page += "</table>\n";
    }
    page += "</footer>\n";
}

}  // namespace

std::string SummaryHtml(const Summary& summary) {
    std::string page(kHead);
    AppendTotals(page, summary);
    for (const ListDescription& list : kLists) AppendList(page, summary, list);
    AppendFooter(page, summary);
    page += "</body></html>\n";
    return page;
}

}  // namespace summary
