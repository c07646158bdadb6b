#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>

namespace cli {

// What a progress line counts.
enum class ProgressUnit { kAddresses, kBytes };

// A progress line on a terminal for long inputs: addresses done, or bytes read of the total
// where it is known, and the rate, rewritten in place. Nothing shows during the first second, so
// short runs stay quiet; the line is wiped before anything else is written to the terminal and at
// the end.
class ProgressLine {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    ProgressLine(std::ostream& terminal, Clock clock = std::chrono::steady_clock::now,
                 ProgressUnit unit = ProgressUnit::kAddresses,
                 std::optional<std::uint64_t> total = std::nullopt);

    void Count(std::size_t done);  // so many more addresses done or bytes read
    void Wipe();                   // before other output to the terminal, and when done

private:
    void Show(std::chrono::steady_clock::time_point now);

    std::ostream& m_terminal;
    Clock m_clock;
    ProgressUnit m_unit;
    std::optional<std::uint64_t> m_total;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_nextShow;
    std::uint64_t m_done = 0;
    bool m_shown = false;
};

}  // namespace cli
