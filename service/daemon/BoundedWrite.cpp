#include "service/daemon/BoundedWrite.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace service {

int WriteWithin(int descriptor, std::string_view text, std::chrono::milliseconds wait,
                std::size_t& written) {
    struct stat status {};
    const bool regularFile = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    const std::size_t piece = regularFile ? text.size() : PIPE_BUF;
    written = 0;
    while (written < text.size()) {
        pollfd room{descriptor, POLLOUT, 0};
        const int ready = ::poll(&room, 1, static_cast<int>(wait.count()));
        if (ready == 0) return EAGAIN;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        const ssize_t n =
            ::write(descriptor, text.data() + written, std::min(piece, text.size() - written));
        if (n > 0) {
            written += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return errno;
        }
    }
    return 0;
}

}  // namespace service
