#include "service/cli/ProgressLine.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace cli {
namespace {

constexpr std::chrono::milliseconds kQuietStart{1000};
constexpr std::chrono::milliseconds kShowEvery{250};
constexpr char kWipeLine[] = "\r\033[K";
constexpr double kMegabyte = 1e6;

std::string Megabytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", bytes / kMegabyte);
    return text;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& terminal, Clock clock, ProgressUnit unit,
                           std::optional<std::uint64_t> total)
    : m_terminal(terminal),
      m_clock(std::move(clock)),
      m_unit(unit),
      m_total(total),
      m_start(m_clock()),
      m_nextShow(m_start + kQuietStart) {}

void ProgressLine::Count(std::size_t done) {
    m_done += done;
    const auto now = m_clock();
    if (now >= m_nextShow) Show(now);
}

void ProgressLine::Show(std::chrono::steady_clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const double rate = static_cast<double>(m_done) / seconds;
    m_terminal << kWipeLine;
    if (m_unit == ProgressUnit::kAddresses) {
        m_terminal << m_done << " addresses, " << static_cast<unsigned long long>(rate) << "/s";
    } else {
        m_terminal << Megabytes(static_cast<double>(m_done));
        if (m_total && *m_total > 0) {
            m_terminal << " of " << Megabytes(static_cast<double>(*m_total)) << " ("
                       << std::min<std::uint64_t>(100, m_done * 100 / *m_total) << "%)";
        }
        m_terminal << ", " << Megabytes(rate) << "/s";
    }
    m_terminal << std::flush;
    m_shown = true;
    m_nextShow = now + kShowEvery;
}

void ProgressLine::Wipe() {
    if (!m_shown) return;
    m_terminal << kWipeLine << std::flush;
    m_shown = false;
}

}  // namespace cli
