#pragma once

#include <condition_variable>
#include <ctime>
#include <deque>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct MHD_Daemon;
struct MHD_Connection;

namespace test {

// A web server for the updater's tests, on 127.0.0.1 at a free port, laid out as a mirror:
// a request for /HOST/PATH is answered with the file folder/HOST/PATH, or with a body set
// in memory for that path (paths as the server sees them, %-escapes decoded). Answers carry
// Last-Modified (a time set for the path, else the file's) and a conditional request gets
// 304 when nothing is newer. Faults scripted per path play out on its next requests, in
// order. Thread-safe; the destructor stops the server, letting stalled answers go.
class MirrorServer {
public:
    static constexpr int kAlways = std::numeric_limits<int>::max();

    explicit MirrorServer(std::filesystem::path folder = {});
    ~MirrorServer();
    MirrorServer(const MirrorServer&) = delete;
    MirrorServer& operator=(const MirrorServer&) = delete;

    // "http://127.0.0.1:PORT", what --mirror and --registry take.
    std::string Url() const;

    void SetBody(const std::string& path, std::string body);
    void SetLastModified(const std::string& path, std::time_t when);
    // The path's answers come chunked, without a Content-Length.
    void SendChunked(const std::string& path);

    // The path's next `times` requests are answered with status and no body,
    void AnswerStatus(const std::string& path, int status, int times = 1);
    // or sent on to location with a 302,
    void Redirect(const std::string& path, const std::string& location, int times = 1);
    // or with the body cut off after `bytes`, its full length announced,
    void CutAfter(const std::string& path, std::size_t bytes, int times = 1);
    // or with the body held after `bytes` until Release() (then sent on) or the server stops.
    void StallAfter(const std::string& path, std::size_t bytes, int times = 1);
    void Release();

    int Requests(const std::string& path) const;
    // A header of the path's last request, if it had one.
    std::optional<std::string> LastHeader(const std::string& path, const std::string& name) const;

private:
    struct Fault {
        enum class Kind { kStatus, kCut, kStall } kind;
        std::size_t value;  // the status, or where the body is cut or held
        int times;
        std::string location{};
    };
    struct Answer;
    struct PathRecord {
        int requests = 0;
        std::vector<std::pair<std::string, std::string>> lastHeaders;
        std::deque<Fault> faults;
        std::optional<std::string> body;
        std::optional<std::time_t> lastModified;
        bool chunked = false;
    };
    friend struct MirrorCallbacks;

    void AddFault(const std::string& path, Fault fault);
    // Holds a stalled answer until it is released or the server stops; false when stopping.
    bool WaitForRelease(unsigned long releasesBefore);

    std::filesystem::path m_folder;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    unsigned long m_releases = 0;
    bool m_stopping = false;
    std::map<std::string, PathRecord> m_paths;
    MHD_Daemon* m_daemon = nullptr;
    unsigned short m_port = 0;
};

}  // namespace test
