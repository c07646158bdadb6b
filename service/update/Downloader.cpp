#include "service/update/Downloader.h"

#include "service/update/OutputFile.h"
#include "service/update/UpdateError.h"

#include <curl/curl.h>

#include <exception>
#include <string_view>
#include <thread>
#include <utility>

namespace update {
namespace {

constexpr long kMaxRedirects = 10;
constexpr long kConnectSeconds = 30;

CURL* NewHandle() {
    // A function-local static runs the global set-up exactly once, whichever thread is first.
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (initialised != CURLE_OK) {
        throw UpdateError(std::string("cannot set up libcurl: ") + curl_easy_strerror(initialised));
    }
    CURL* curl = curl_easy_init();
    if (curl == nullptr) throw UpdateError("cannot set up libcurl");
    return curl;
}

// Failures of the network rather than of the request, which another attempt may not meet.
bool IsPassing(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_PARTIAL_FILE:
        case CURLE_GOT_NOTHING:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
            return true;
        default:
            return false;
    }
}

struct UrlParts {
    CURLU* url = curl_url();
    ~UrlParts() { curl_url_cleanup(url); }

    // The part, or empty when the URL has none.
    std::string Get(CURLUPart part) const {
        char* text = nullptr;
        if (curl_url_get(url, part, &text, 0) != CURLUE_OK) return {};
        std::string result = text;
        curl_free(text);
        return result;
    }
};

// What one attempt came to: an answer, or a failure and whether to try again.
struct Outcome {
    std::optional<Fetched> fetched;
    std::string failure{};
    bool passing{false};
};

}  // namespace

Downloader::Downloader(DownloadOptions options)
    : m_options(std::move(options)), m_curl(NewHandle()) {
    while (!m_options.mirror.empty() && m_options.mirror.back() == '/') m_options.mirror.pop_back();
}

Downloader::~Downloader() {
    curl_easy_cleanup(static_cast<CURL*>(m_curl));
}

std::string Downloader::AddressOf(const std::string& url) const {
    UrlParts parts;
    if (parts.url == nullptr) throw UpdateError("out of memory");
    const bool parsed = curl_url_set(parts.url, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
    const std::string scheme = parts.Get(CURLUPART_SCHEME);
    if (!parsed || (scheme != "http" && scheme != "https")) {
        throw UpdateError("not an http(s) address: " + url);
    }
    if (m_options.mirror.empty()) return parts.Get(CURLUPART_URL);

    std::string address = m_options.mirror + '/' + parts.Get(CURLUPART_HOST);
    if (const std::string port = parts.Get(CURLUPART_PORT); !port.empty()) address += ':' + port;
    address += parts.Get(CURLUPART_PATH);
    if (const std::string query = parts.Get(CURLUPART_QUERY); !query.empty()) {
        address += '?' + query;
    }
    return address;
}

Fetched Downloader::Fetch(const std::string& url, const std::string& destination,
                          std::optional<std::time_t> ifModifiedSince) {
    OutputFile file(destination);
    const Fetched fetched =
        Transfer(url,
                 {[&] { file.Restart(); }, [&](std::string_view bytes) { file.Write(bytes); },
                  m_options.maxBytes},
                 ifModifiedSince);
    if (fetched == Fetched::kNew) file.Keep();
    return fetched;
}

std::string Downloader::FetchText(const std::string& url, std::uint64_t maxBytes) {
    std::string text;
    const Fetched fetched = Transfer(
        url, {[&] { text.clear(); }, [&](std::string_view bytes) { text.append(bytes); }, maxBytes},
        std::nullopt);
    if (fetched == Fetched::kMissing) {
        throw UpdateError("cannot fetch " + AddressOf(url) + ": no such file");
    }
    return text;
}

Fetched Downloader::Transfer(const std::string& url, const Sink& sink,
                             std::optional<std::time_t> ifModifiedSince) {
    const std::string address = AddressOf(url);
    CURL* const curl = static_cast<CURL*>(m_curl);

    // What the body callback saw of one attempt; no exception may cross libcurl.
    struct Receiving {
        CURL* curl;
        const Sink& sink;
        std::uint64_t received{0};
        bool tooLarge{false};
        std::exception_ptr failure{};
    };
    const auto onBody = [](char* data, std::size_t, std::size_t size, void* context) {
        auto& receiving = *static_cast<Receiving*>(context);
        long status = 0;
        curl_easy_getinfo(receiving.curl, CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status > 299) return size;  // an error page is not kept
        if (size > receiving.sink.maxBytes - receiving.received) {
            receiving.tooLarge = true;
            return std::size_t{0};
        }
        try {
            receiving.sink.append(std::string_view(data, size));
        } catch (...) {
            receiving.failure = std::current_exception();
            return std::size_t{0};
        }
        receiving.received += size;
        return size;
    };

    const auto attempt = [&]() -> Outcome {
        sink.restart();
        Receiving receiving{curl, sink};
        char error[CURL_ERROR_SIZE] = {};
        curl_easy_reset(curl);
        curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(curl, CURLOPT_USERAGENT, "wherix-update/" LOKARO_VERSION);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME,
                         static_cast<long>(m_options.stallTime.count()));
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(sink.maxBytes));
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, +onBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &receiving);
        if (ifModifiedSince) {
            curl_easy_setopt(curl, CURLOPT_TIMECONDITION,
                             static_cast<long>(CURL_TIMECOND_IFMODSINCE));
            curl_easy_setopt(curl, CURLOPT_TIMEVALUE_LARGE,
                             static_cast<curl_off_t>(*ifModifiedSince));
        }
        const CURLcode code = curl_easy_perform(curl);

        if (receiving.failure) std::rethrow_exception(receiving.failure);
        if (receiving.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
            return {std::nullopt, "larger than " + std::to_string(sink.maxBytes) + " bytes"};
        }
        if (code != CURLE_OK) {
            return {std::nullopt, error[0] != '\0' ? error : curl_easy_strerror(code),
                    IsPassing(code)};
        }
        long status = 0;
        long unmet = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_getinfo(curl, CURLINFO_CONDITION_UNMET, &unmet);
        // libcurl also reports an unmet condition when the server sent the whole file with
        // a Last-Modified no newer than asked; it keeps the body back then.
        if (status == 304 || (ifModifiedSince && unmet != 0)) return {Fetched::kNotModified};
        if (status == 404 || status == 410) return {Fetched::kMissing};
        if (status >= 200 && status <= 299) return {Fetched::kNew};
        return {std::nullopt, "the server answered " + std::to_string(status), status >= 500};
    };

    for (int tried = 1;; ++tried) {
        const Outcome outcome = attempt();
        if (outcome.fetched) return *outcome.fetched;
        if (!outcome.passing || tried >= m_options.attempts) {
            throw UpdateError("cannot fetch " + address + ": " + outcome.failure +
                              (tried > 1 ? " (" + std::to_string(tried) + " attempts)" : ""));
        }
        std::this_thread::sleep_for(m_options.firstBackoff * (1 << (tried - 1)));
    }
}

}  // namespace update
