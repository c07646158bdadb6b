#include "service/cli/ProgressLine.h"

#include <string>

namespace cli {
namespace {

constexpr std::chrono::milliseconds kQuietStart{1000};
constexpr std::chrono::milliseconds kShowEvery{250};
constexpr char kWipeLine[] = "\r\033[K";

}  // namespace

ProgressLine::ProgressLine(std::ostream& terminal, Clock clock)
    : m_terminal(terminal),
      m_clock(std::move(clock)),
      m_start(m_clock()),
      m_nextShow(m_start + kQuietStart) {}

void ProgressLine::Count(std::size_t addresses) {
    m_done += addresses;
    const auto now = m_clock();
    if (now >= m_nextShow) Show(now);
}

void ProgressLine::Show(std::chrono::steady_clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const auto rate = static_cast<unsigned long long>(static_cast<double>(m_done) / seconds);
    m_terminal << kWipeLine << m_done << " addresses, " << rate << "/s" << std::flush;
    m_shown = true;
    m_nextShow = now + kShowEvery;
}

void ProgressLine::Wipe() {
    if (!m_shown) return;
    m_terminal << kWipeLine << std::flush;
    m_shown = false;
}

}  // namespace cli
