#include "service/daemon/ServiceManager.h"

#include "service/http/ListeningSocket.h"

#include <sys/resource.h>
#include <systemd/sd-daemon.h>

#include <algorithm>
#include <climits>
#include <string>

namespace service {

std::optional<int> PassedListeningSocket() {
    const int count = sd_listen_fds(1);
    if (count <= 0) return std::nullopt;
    if (count > 1) {
        throw ListenError("the service manager passed " + std::to_string(count) +
                          " sockets; the service listens on one");
    }
    AdoptListeningSocket(SD_LISTEN_FDS_START);
    return SD_LISTEN_FDS_START;
}

void NotifyServiceManager(const char* state) {
    sd_notify(0, state);
}

unsigned RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    return static_cast<unsigned>(std::min<rlim_t>(limit.rlim_cur, UINT_MAX));
}

}  // namespace service
