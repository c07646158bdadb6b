#pragma once

#include <chrono>
#include <cstddef>
#include <string_view>

namespace service {

// Writes text to a descriptor whose reader may have stalled (a pipe, a socket), without
// ever blocking for long: it waits at most `wait` for room whenever the descriptor cannot
// take more, and writes to anything but a regular file in pieces of PIPE_BUF bytes, which a
// pipe that has room takes whole. Returns 0 when all of it was written, else the errno
// that stopped it (EAGAIN when the wait ran out); written tells how much went out.
int WriteWithin(int descriptor, std::string_view text, std::chrono::milliseconds wait,
                std::size_t& written);

}  // namespace service
