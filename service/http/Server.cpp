#include "service/http/Server.h"

#include "service/http/AccessLogLine.h"
#include "service/http/HeadChecks.h"
#include "service/http/ListeningSocket.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace service {
namespace {

constexpr auto kDeadlineCheckInterval = std::chrono::milliseconds(250);

std::string PeerText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address != nullptr && address->sa_family == AF_INET) {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text,
                    sizeof text);
    } else if (address != nullptr && address->sa_family == AF_INET6) {
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text,
                    sizeof text);
    }
    return text;
}

std::vector<HeaderField> HeadersOf(MHD_Connection* connection) {
    std::vector<HeaderField> headers;
    MHD_get_connection_values_n(
        connection, MHD_HEADER_KIND,
        [](void* fields, MHD_ValueKind, const char* key, std::size_t keySize, const char* value,
           std::size_t valueSize) {
            static_cast<std::vector<HeaderField>*>(fields)->emplace_back(
                std::string_view(key, keySize), std::string_view(value, valueSize));
            return MHD_YES;
        },
        &headers);
    return headers;
}

}  // namespace

// What the server keeps for one connection, reused by each of its requests.
struct Server::Connection : ConnectionDeadlines::Watched {
    enum class Phase { Head, Body, Draining, Answered };

    using Watched::Watched;

    std::string peer;
    std::string target;  // as the request line has it, query included
    std::string body;
    std::size_t bodyLimit = 0;
    Phase phase = Phase::Head;
};

// The library's callbacks; cls is always the Server.
struct ServerCallbacks {
    using Connection = Server::Connection;

    static Connection& Of(MHD_Connection* connection) {
        return *static_cast<Connection*>(
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT)
                ->socket_context);
    }

    static void OnConnection(void* cls, MHD_Connection* connection, void** socketContext,
                             MHD_ConnectionNotificationCode event) {
        auto& server = *static_cast<Server*>(cls);
        if (event == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* fd =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            auto* state = new Connection(fd->connect_fd);
            state->peer =
                PeerText(MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS)
                             ->client_addr);
            const auto now = ConnectionDeadlines::Clock::now();
            state->Arm(now + server.m_limits.requestTime);
            state->Idle(now);
            server.m_deadlines.Add(*state);
            *socketContext = state;
        } else if (*socketContext != nullptr) {
            auto* state = static_cast<Connection*>(*socketContext);
            server.m_deadlines.Remove(*state);
            delete state;
            *socketContext = nullptr;
        }
    }

    // The request line has arrived: a new request begins on the connection.
    static void* OnRequestLine(void*, const char* uri, MHD_Connection* connection) {
        Connection& state = Of(connection);
        state.Busy();
        state.target = uri;
        state.body.clear();
        state.phase = Connection::Phase::Head;
        return &state;
    }

    static void OnCompleted(void* cls, MHD_Connection*, void** requestContext,
                            MHD_RequestTerminationCode) {
        if (*requestContext == nullptr) return;
        auto& server = *static_cast<Server*>(cls);
        auto& state = *static_cast<Connection*>(*requestContext);
        const auto now = ConnectionDeadlines::Clock::now();
        state.Arm(now + server.m_limits.requestTime);
        state.Idle(now);
    }

    // A new connection is taken only when there is room for it, made if need be by closing
    // the longest idle one; otherwise the library closes it at once.
    static MHD_Result OnAccept(void* cls, const sockaddr*, socklen_t) {
        auto& server = *static_cast<Server*>(cls);
        return server.m_deadlines.MakeRoom(server.m_limits.maxConnections) ? MHD_YES : MHD_NO;
    }

    static MHD_Result OnRequest(void* cls, MHD_Connection* connection, const char* url,
                                const char* method, const char* version, const char* uploadData,
                                std::size_t* uploadSize, void** requestContext) {
        auto& server = *static_cast<Server*>(cls);
        Connection& state = *static_cast<Connection*>(*requestContext);
        switch (state.phase) {
            case Connection::Phase::Head: {
                state.bodyLimit = server.m_routes.BodyLimit(url);
                const RequestHead head{
                    state.target, version, HeadersOf(connection),
                    MHD_get_connection_info(connection, MHD_CONNECTION_INFO_REQUEST_HEADER_SIZE)
                        ->header_size};
                if (const std::optional<int> refusal = HeadRefusal(head, state.bodyLimit)) {
                    return Send(server, connection, state, method,
                                server.m_routes.Refusal(url, *refusal));
                }
                state.phase = Connection::Phase::Body;
                return MHD_YES;
            }
            case Connection::Phase::Body:
            case Connection::Phase::Draining:
                if (*uploadSize != 0) {
                    // Only a chunked body can outgrow its limit here. The library cannot
                    // answer before the body has ended, so the rest is read and dropped
                    // (the request's deadline bounds how long) and then refused.
                    if (state.body.size() + *uploadSize > state.bodyLimit) {
                        state.phase = Connection::Phase::Draining;
                        std::string().swap(state.body);
                    }
                    if (state.phase == Connection::Phase::Body) {
                        state.body.append(uploadData, *uploadSize);
                    }
                    *uploadSize = 0;
                    return MHD_YES;
                }
                if (state.phase == Connection::Phase::Draining) {
                    return Send(server, connection, state, method,
                                server.m_routes.Refusal(url, 413));
                }
                return Send(server, connection, state, method,
                            server.m_routes.Answer(Request(connection, state, url, method)));
            case Connection::Phase::Answered:
                *uploadSize = 0;
                return MHD_YES;
        }
        return MHD_NO;
    }

    static IncomingRequest Request(MHD_Connection* connection, const Connection& state,
                                   const char* url, const char* method) {
        IncomingRequest request;
        request.method = method;
        request.path = url;
        const std::size_t mark = state.target.find('?');
        if (mark != std::string::npos)
            request.query = std::string_view(state.target).substr(mark + 1);
        request.headers = HeadersOf(connection);
        request.body = state.body;
        request.peer = state.peer;
        return request;
    }

    static MHD_Result Send(Server& server, MHD_Connection* connection, Connection& state,
                           std::string_view method, const OutgoingResponse& answer) {
        state.Disarm();
        state.phase = Connection::Phase::Answered;
        // The library leaves out the body of an answer to "HEAD" only; a head request in
        // another letter case gets the head with an empty body.
        const bool headOnly = method != "HEAD" && EqualsIgnoringCase(method, "HEAD");
        const std::string_view body = headOnly ? std::string_view() : answer.body;
        MHD_Response* response = MHD_create_response_from_buffer(
            body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
        if (response == nullptr) return MHD_NO;
        for (const auto& [name, value] : answer.headers) {
            MHD_add_response_header(response, name.c_str(), value.c_str());
        }
        if (answer.closeConnection) {
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
        }
        const MHD_Result queued =
            MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
        MHD_destroy_response(response);
        if (server.m_log) {
            server.m_log(
                AccessLogLine(state.peer, method, state.target, answer.status, answer.body.size()));
        }
        return queued;
    }
};

Server::Server(const Routes& routes, const ServerLimits& limits, LogSink log)
    : m_routes(routes),
      m_limits(limits),
      m_log(std::move(log)),
      m_deadlines(kDeadlineCheckInterval) {}

Server::~Server() {
    Stop();
}

void Server::Start(int listeningSocket) {
    const unsigned threads = m_limits.threads != 0
                                 ? m_limits.threads
                                 : std::max(1u, std::thread::hardware_concurrency());
    using Callbacks = ServerCallbacks;
    // clang-format off: one option and its values per line
    m_daemon = MHD_start_daemon(
        MHD_USE_EPOLL_INTERNAL_THREAD, 0, &Callbacks::OnAccept, this, &Callbacks::OnRequest, this,
        MHD_OPTION_LISTEN_SOCKET, static_cast<MHD_socket>(listeningSocket),
        MHD_OPTION_THREAD_POOL_SIZE, threads, MHD_OPTION_CONNECTION_LIMIT,
        m_limits.maxConnections + kClosingHeadroom, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
        m_limits.maxPerAddress, MHD_OPTION_CONNECTION_TIMEOUT,
        static_cast<unsigned>(m_limits.idleTime.count()), MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        m_limits.connectionMemory, MHD_OPTION_NOTIFY_CONNECTION, &Callbacks::OnConnection, this,
        MHD_OPTION_URI_LOG_CALLBACK, &Callbacks::OnRequestLine, this, MHD_OPTION_NOTIFY_COMPLETED,
        &Callbacks::OnCompleted, this, MHD_OPTION_END);
    // clang-format on
    if (m_daemon == nullptr) {
        const std::string where = LocalAddressText(listeningSocket);
        ::close(listeningSocket);
        throw ListenError("cannot serve on " + where);
    }
}

void Server::Stop() {
    if (m_daemon != nullptr) MHD_stop_daemon(std::exchange(m_daemon, nullptr));
}

}  // namespace service
