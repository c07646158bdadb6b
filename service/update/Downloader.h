#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace update {

struct DownloadOptions {
    // When set, every address https://HOST/PATH is fetched from MIRROR/HOST/PATH instead
    // (mirrors, air-gapped sites, tests).
    std::string mirror;
    // Network errors and 5xx answers are tried again, this many times in all, waiting
    // firstBackoff, then twice as long each time; a 4xx answer is never tried again.
    int attempts = 4;
    std::chrono::milliseconds firstBackoff{1000};
    // A body larger than this is refused (a wrong file, or a server gone mad).
    std::uint64_t maxBytes = std::uint64_t{1} << 31;
    // A transfer that moves no byte for this long is given up (and tried again), so that a
    // stalled server cannot hold a run for ever.
    std::chrono::seconds stallTime{60};
};

// What a fetch found.
enum class Fetched {
    kNew,          // the body is in the destination file
    kNotModified,  // 304 to a conditional request: nothing was downloaded
    kMissing,      // 404 or 410: the source has no such file (yet)
};

// Downloads over HTTP(S) with libcurl: proxies from the environment as curl takes them,
// redirects followed, bodies checked against their Content-Length. One object serves one
// thread; its connections are kept from one request to the next.
class Downloader {
public:
    explicit Downloader(DownloadOptions options);
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    // The body of url into the file destination (made or replaced; removed again on every
    // failure). With ifModifiedSince the request is conditional. Throws UpdateError for a
    // network error or 5xx after the last attempt, any other 4xx, a short or oversized body.
    Fetched Fetch(const std::string& url, const std::string& destination,
                  std::optional<std::time_t> ifModifiedSince = std::nullopt);
    // A small document (at most maxBytes) into memory; kMissing is an UpdateError here.
    std::string FetchText(const std::string& url, std::uint64_t maxBytes = 64u << 20);

    // The address a request for url goes to (the mirror's, when there is one); an address
    // other than http(s) is an UpdateError.
    std::string AddressOf(const std::string& url) const;

private:
    // Where a body goes: emptied before each attempt, then given its bytes; append throws
    // when it cannot keep them.
    struct Sink {
        std::function<void()> restart;
        std::function<void(std::string_view)> append;
        std::uint64_t maxBytes;
    };
    Fetched Transfer(const std::string& url, const Sink& sink,
                     std::optional<std::time_t> ifModifiedSince);

    DownloadOptions m_options;
    void* m_curl;  // CURL*, reused so that connections to one host are kept
};

}  // namespace update
