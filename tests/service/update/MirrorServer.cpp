#include "tests/service/update/MirrorServer.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test {
namespace {

constexpr char kHttpDate[] = "%a, %d %b %Y %H:%M:%S GMT";
constexpr std::size_t kBlockSize = 64 * 1024;

std::string HttpDate(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, kHttpDate, &parts));
}

std::optional<std::time_t> ParseHttpDate(const char* text) {
    std::tm parts{};
    if (text == nullptr || strptime(text, kHttpDate, &parts) == nullptr) return std::nullopt;
    return timegm(&parts);
}

struct MirrorFile {
    std::string bytes;
    std::time_t modified;
};

// The file folder/PATH, if there is one inside folder.
std::optional<MirrorFile> ReadMirrorFile(const std::filesystem::path& folder,
                                         const std::string& path) {
    if (folder.empty() || path.find("/../") != std::string::npos || path.ends_with("/..")) {
        return std::nullopt;
    }
    const std::filesystem::path file = folder.string() + path;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
    std::ifstream stream(file, std::ios::binary);
    MirrorFile found{std::string(std::istreambuf_iterator<char>(stream), {}), 0};
    found.modified = std::chrono::system_clock::to_time_t(
        std::chrono::file_clock::to_sys(std::filesystem::last_write_time(file, error)));
    return found;
}

MHD_Result Queue(MHD_Connection* connection, int status, MHD_Response* response,
                 std::optional<std::time_t> lastModified) {
    if (lastModified) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_LAST_MODIFIED,
                                HttpDate(*lastModified).c_str());
    }
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(status), response);
    MHD_destroy_response(response);
    return queued;
}

MHD_Result QueueEmpty(MHD_Connection* connection, int status,
                      std::optional<std::time_t> lastModified = std::nullopt) {
    return Queue(connection, status,
                 MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT), lastModified);
}

}  // namespace

// A body being sent, with the fault that cuts or holds it.
struct MirrorServer::Answer {
    MirrorServer& server;
    std::string body;
    std::optional<Fault> fault;
    unsigned long releasesBefore = 0;
};

struct MirrorCallbacks {
    using Answer = MirrorServer::Answer;
    using Fault = MirrorServer::Fault;

    static ssize_t ReadBody(void* cls, std::uint64_t position, char* buffer, std::size_t max) {
        Answer& answer = *static_cast<Answer*>(cls);
        if (answer.fault && position >= answer.fault->value) {
            if (answer.fault->kind == Fault::Kind::kCut ||
                !answer.server.WaitForRelease(answer.releasesBefore)) {
                return MHD_CONTENT_READER_END_WITH_ERROR;
            }
            answer.fault.reset();
        }
        if (position >= answer.body.size()) return MHD_CONTENT_READER_END_OF_STREAM;
        const std::size_t end =
            answer.fault ? std::min(answer.fault->value, answer.body.size()) : answer.body.size();
        const std::size_t length = std::min<std::size_t>(max, end - position);
        std::memcpy(buffer, answer.body.data() + position, length);
        return static_cast<ssize_t>(length);
    }

    static void FreeAnswer(void* cls) { delete static_cast<Answer*>(cls); }

    static MHD_Result OnHeader(void* headers, MHD_ValueKind, const char* key, const char* value) {
        static_cast<std::vector<std::pair<std::string, std::string>>*>(headers)->emplace_back(
            key, value != nullptr ? value : "");
        return MHD_YES;
    }

    static MHD_Result OnRequest(void* cls, MHD_Connection* connection, const char* url,
                                const char* method, const char*, const char*, std::size_t*,
                                void**) {
        MirrorServer& server = *static_cast<MirrorServer*>(cls);
        const std::string path = url;
        auto answer = std::make_unique<Answer>(Answer{server, {}, {}, 0});
        std::optional<std::time_t> lastModified;
        std::optional<std::string> memoryBody;
        bool chunked = false;
        {
            const std::lock_guard lock(server.m_mutex);
            MirrorServer::PathRecord& record = server.m_paths[path];
            ++record.requests;
            record.lastHeaders.clear();
            MHD_get_connection_values(connection, MHD_HEADER_KIND, &OnHeader, &record.lastHeaders);
            if (!record.faults.empty()) {
                answer->fault = record.faults.front();
                if (--record.faults.front().times == 0) record.faults.pop_front();
            }
            answer->releasesBefore = server.m_releases;
            lastModified = record.lastModified;
            memoryBody = record.body;
            chunked = record.chunked;
        }
        if (answer->fault && answer->fault->kind == Fault::Kind::kStatus) {
            MHD_Response* response =
                MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
            if (!answer->fault->location.empty()) {
                MHD_add_response_header(response, MHD_HTTP_HEADER_LOCATION,
                                        answer->fault->location.c_str());
            }
            return Queue(connection, static_cast<int>(answer->fault->value), response,
                         std::nullopt);
        }
        if (std::strcmp(method, "GET") != 0 && std::strcmp(method, "HEAD") != 0) {
            return QueueEmpty(connection, MHD_HTTP_METHOD_NOT_ALLOWED);
        }
        if (memoryBody) {
            answer->body = std::move(*memoryBody);
        } else if (std::optional<MirrorFile> file = ReadMirrorFile(server.m_folder, path)) {
            answer->body = std::move(file->bytes);
            lastModified = lastModified.value_or(file->modified);
        } else {
            return QueueEmpty(connection, MHD_HTTP_NOT_FOUND);
        }
        const std::optional<std::time_t> since = ParseHttpDate(MHD_lookup_connection_value(
            connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_IF_MODIFIED_SINCE));
        if (since && lastModified && *lastModified <= *since) {
            return QueueEmpty(connection, MHD_HTTP_NOT_MODIFIED, lastModified);
        }
        const std::uint64_t size = chunked ? MHD_SIZE_UNKNOWN : answer->body.size();
        MHD_Response* response = MHD_create_response_from_callback(size, kBlockSize, &ReadBody,
                                                                   answer.release(), &FreeAnswer);
        return Queue(connection, MHD_HTTP_OK, response, lastModified);
    }
};

MirrorServer::MirrorServer(std::filesystem::path folder) : m_folder(std::move(folder)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // A thread for each connection, so that a stalled answer holds only its own.
    m_daemon = MHD_start_daemon(MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION, 0,
                                nullptr, nullptr, &MirrorCallbacks::OnRequest, this,
                                MHD_OPTION_SOCK_ADDR, &address, MHD_OPTION_END);
    if (m_daemon == nullptr) throw std::runtime_error("cannot start the mirror server");
    m_port = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT)->port;
}

MirrorServer::~MirrorServer() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_released.notify_all();
    MHD_stop_daemon(m_daemon);
}

std::string MirrorServer::Url() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

void MirrorServer::SetBody(const std::string& path, std::string body) {
    const std::lock_guard lock(m_mutex);
    m_paths[path].body = std::move(body);
}

void MirrorServer::SetLastModified(const std::string& path, std::time_t when) {
    const std::lock_guard lock(m_mutex);
    m_paths[path].lastModified = when;
}

void MirrorServer::SendChunked(const std::string& path) {
    const std::lock_guard lock(m_mutex);
    m_paths[path].chunked = true;
}

void MirrorServer::AddFault(const std::string& path, Fault fault) {
    const std::lock_guard lock(m_mutex);
    m_paths[path].faults.push_back(fault);
}

void MirrorServer::AnswerStatus(const std::string& path, int status, int times) {
    AddFault(path, {Fault::Kind::kStatus, static_cast<std::size_t>(status), times});
}

void MirrorServer::Redirect(const std::string& path, const std::string& location, int times) {
    AddFault(path, {Fault::Kind::kStatus, MHD_HTTP_FOUND, times, location});
}

void MirrorServer::CutAfter(const std::string& path, std::size_t bytes, int times) {
    AddFault(path, {Fault::Kind::kCut, bytes, times});
}

void MirrorServer::StallAfter(const std::string& path, std::size_t bytes, int times) {
    AddFault(path, {Fault::Kind::kStall, bytes, times});
}

void MirrorServer::Release() {
    {
        const std::lock_guard lock(m_mutex);
        ++m_releases;
    }
    m_released.notify_all();
}

bool MirrorServer::WaitForRelease(unsigned long releasesBefore) {
    std::unique_lock lock(m_mutex);
    m_released.wait(lock, [&] { return m_stopping || m_releases != releasesBefore; });
    return !m_stopping;
}

int MirrorServer::Requests(const std::string& path) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_paths.find(path);
    return found == m_paths.end() ? 0 : found->second.requests;
}

std::optional<std::string> MirrorServer::LastHeader(const std::string& path,
                                                    const std::string& name) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_paths.find(path);
    if (found == m_paths.end()) return std::nullopt;
    for (const auto& [key, value] : found->second.lastHeaders) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
    }
    return std::nullopt;
}

}  // namespace test
