#include "service/daemon/ProcessSafety.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>

namespace service {
namespace {

// Written before any fault, read by the handler: a handler may not allocate.
char g_faultMessage[4608];
std::size_t g_faultMessageSize = 0;

void OnDataFault(int) {
    // write() is async-signal-safe; nothing can be done about a failure here.
    [[maybe_unused]] const ssize_t written =
        ::write(STDERR_FILENO, g_faultMessage, g_faultMessageSize);
    // SA_RESETHAND has put back the default action: returning re-runs the faulting read,
    // which now ends the process with the signal.
}

}  // namespace

void KeepStandardDescriptorsOpen() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) >= 0) continue;
        // open() takes the lowest free number, which is this one: the lower ones are open.
        const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor) ::close(opened);
    }
}

void IgnoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

void ReportDataFaults(const std::string& dataFolder) {
    const std::string message =
        "wherix-service: a database in " + dataFolder +
        " was cut short while in use (changed in place instead of replaced by rename); "
        "stopping\n";
    g_faultMessageSize = std::min(message.size(), sizeof g_faultMessage);
    std::memcpy(g_faultMessage, message.data(), g_faultMessageSize);
    struct sigaction action {};
    action.sa_handler = OnDataFault;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(SIGBUS, &action, nullptr);
}

}  // namespace service
