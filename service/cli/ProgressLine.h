#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>

namespace cli {

// A progress line on a terminal for long inputs: addresses done and the rate, rewritten in
// place. Nothing shows during the first second, so short runs stay quiet; the line is
// wiped before anything else is written to the terminal and at the end.
class ProgressLine {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    ProgressLine(std::ostream& terminal, Clock clock = std::chrono::steady_clock::now);

    void Count(std::size_t addresses);  // so many more addresses done
    void Wipe();                        // before other output to the terminal, and when done

private:
    void Show(std::chrono::steady_clock::time_point now);

    std::ostream& m_terminal;
    Clock m_clock;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_nextShow;
    std::size_t m_done = 0;
    bool m_shown = false;
};

}  // namespace cli
