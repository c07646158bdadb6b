// How long the program takes from exec to a painted main window, beside a bare Qt window of
// the same size started the same way, and beside that bare window showing one line of text.
// They are started in turn on a private X server and each run is timed up to the first
// painted pixel of the window: the server's root is black, and every window paints that
// pixel in a light colour. Prints the medians and the program's ratios to both.
//
// Usage: bench_startup [runs]   (each program is started `runs` times, 31 by default)
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr auto kPatience = std::chrono::seconds(20);
// Inside the client area of both windows, clear of every control of the main window.
constexpr int kProbeX = 4;
constexpr int kProbeY = 4;

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what);
}

pid_t Spawn(const std::vector<std::string>& command) {
    const pid_t pid = fork();
    if (pid < 0) Fail("fork failed");
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        std::perror(argv[0]);
        _exit(127);
    }
    return pid;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// A private X server for the whole run, on the first free display.
class PrivateXServer {
public:
    PrivateXServer() {
        int fds[2];
        if (pipe(fds) != 0) Fail("pipe failed");
        m_pid = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                       "-nolisten", "tcp", "-br"});
        close(fds[1]);
        std::string number;
        char c;
        pollfd wait{fds[0], POLLIN, 0};
        while (poll(&wait, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) {
            Stop(m_pid);
            Fail("Xvfb did not start");
        }
        m_display = ":" + number;
    }
    ~PrivateXServer() { Stop(m_pid); }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    const std::string& display() const { return m_display; }

private:
    pid_t m_pid;
    std::string m_display;
};

// Watches the server for windows being mapped and reads their pixels.
class Watcher {
public:
    explicit Watcher(const std::string& display)
        : m_connection(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(m_connection)) Fail("cannot connect to " + display);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
    }
    ~Watcher() { xcb_disconnect(m_connection); }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    // Drops what earlier runs left behind.
    void Forget() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) std::free(event);
    }

    // The next window mapped on the root, or nothing by the deadline.
    std::optional<xcb_window_t> NextMappedWindow(Clock::time_point deadline) {
        while (Clock::now() < deadline) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(
                xcb_poll_for_event(m_connection), &std::free);
            if (!event) {
                pollfd wait{xcb_get_file_descriptor(m_connection), POLLIN, 0};
                poll(&wait, 1, 50);
                continue;
            }
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
                return reinterpret_cast<xcb_map_notify_event_t*>(event.get())->window;
        }
        return std::nullopt;
    }

    bool IsPainted(xcb_window_t window) {
        std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
            xcb_get_image_reply(m_connection,
                                xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                              kProbeX, kProbeY, 1, 1, ~0u),
                                nullptr),
            &std::free);
        if (!image) return false;
        const uint8_t* pixel = xcb_get_image_data(image.get());
        return xcb_get_image_data_length(image.get()) >= 3 && (pixel[0] | pixel[1] | pixel[2]);
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
};

Milliseconds TimeToFirstFrame(Watcher& watcher, const std::vector<std::string>& command) {
    watcher.Forget();
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(command);
    const Clock::time_point deadline = start + kPatience;
    std::optional<Milliseconds> elapsed;
    if (const std::optional<xcb_window_t> window = watcher.NextMappedWindow(deadline)) {
        while (!elapsed && Clock::now() < deadline) {
            if (watcher.IsPainted(*window))
                elapsed = Clock::now() - start;
            else
                usleep(200);
        }
    }
    Stop(pid);
    if (!elapsed) Fail(command.front() + " showed no painted window");
    return *elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    try {
        const PrivateXServer server;
        // Settings and run-time files of the programs go to a private folder.
        char privateHome[] = "/tmp/lokaro-bench-XXXXXX";
        if (!mkdtemp(privateHome)) Fail("mkdtemp failed");
        const std::string runtime = std::string(privateHome) + "/runtime";
        mkdir(runtime.c_str(), 0700);
        setenv("DISPLAY", server.display().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("XDG_CONFIG_HOME", privateHome, 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        Watcher watcher(server.display());

        const std::array<std::vector<std::string>, 3> commands{
            std::vector<std::string>{LOKARO_BARE_WINDOW},
            std::vector<std::string>{LOKARO_BARE_WINDOW, "--text"},
            std::vector<std::string>{LOKARO_PROGRAM}};
        std::array<std::vector<double>, 3> times;
        // One start of each first: it writes the program's first-run marker and warms caches.
        for (const auto& command : commands) TimeToFirstFrame(watcher, command);
        for (int run = 0; run < runs; ++run) {
            // Each round starts the three in another order.
            for (size_t i = 0; i < commands.size(); ++i) {
                const size_t which = (i + run) % commands.size();
                times[which].push_back(TimeToFirstFrame(watcher, commands[which]).count());
            }
        }
        std::filesystem::remove_all(privateHome);

        const double bare = Median(times[0]);
        const double text = Median(times[1]);
        const double program = Median(times[2]);
        std::printf("exec to painted window, median of %d runs each\n", runs);
        std::printf("  bare Qt window                %7.1f ms\n", bare);
        std::printf("  bare Qt window, one text line %7.1f ms\n", text);
        std::printf("  wherix                        %7.1f ms\n", program);
        std::printf("  ratio to the bare window      %7.2f\n", program / bare);
        std::printf("  ratio to the one text line    %7.2f\n", program / text);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_startup: %s\n", error.what());
        return 1;
    }
    return 0;
}
