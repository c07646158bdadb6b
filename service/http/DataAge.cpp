#include "service/http/DataAge.h"

#include <charconv>

namespace service {
namespace {

// The day of a text that starts YYYY-MM-DD (a date, or a time in ISO 8601).
std::optional<std::chrono::sys_days> DayOf(std::string_view text) {
    int parts[3] = {};
    const std::size_t widths[3] = {4, 2, 2};
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (at >= text.size() || text[at++] != '-')) return std::nullopt;
        if (text.size() < at + widths[i]) return std::nullopt;
        const char* first = text.data() + at;
        const auto [end, error] = std::from_chars(first, first + widths[i], parts[i]);
        if (error != std::errc() || end != first + widths[i]) return std::nullopt;
        at += widths[i];
    }
    const std::chrono::year_month_day day{std::chrono::year(parts[0]),
                                          std::chrono::month(static_cast<unsigned>(parts[1])),
                                          std::chrono::day(static_cast<unsigned>(parts[2]))};
    if (!day.ok()) return std::nullopt;
    return std::chrono::sys_days(day);
}

}  // namespace

std::optional<std::string> StaleDataWarning(const DataSetRecord& record,
                                            std::chrono::sys_days today) {
    const bool published = !record.published.empty();
    const std::string& date = published ? record.published : record.made;
    const auto day = DayOf(date);
    if (!day) return std::nullopt;
    const auto age = (today - *day).count();
    if (age <= kStaleAfterDays) return std::nullopt;
    return "data: warning: the data are " + std::to_string(age) + " days old (" +
           (published ? "sources published " : "set made ") + date.substr(0, 10) +
           "); answers drift as networks move: run wherix-update or install a newer "
           "lokaro-geodata";
}

void WarnIfStale(const DataSetRecord& record,
                 const std::function<void(std::string_view line)>& log) {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    if (const auto warning = StaleDataWarning(record, today)) log(*warning);
}

}  // namespace service
