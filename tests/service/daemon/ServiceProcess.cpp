#include "tests/service/daemon/ServiceProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>
#include <utility>

extern char** environ;

namespace service::test {

ServiceProcess::ServiceProcess(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment, Streams streams) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "cannot make a pipe";
        return;
    }
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argPointers;
    for (std::string& argument : argv) argPointers.push_back(argument.data());
    argPointers.push_back(nullptr);
    std::vector<std::string> env(environment);
    for (char** entry = environ; *entry != nullptr; ++entry) env.emplace_back(*entry);
    std::vector<char*> envPointers;
    for (std::string& entry : env) envPointers.push_back(entry.data());
    envPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (streams == Streams::ErrorCaptured) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addclose(&actions, STDERR_FILENO);
    }
    // The child starts with no signal blocked, whatever the test's threads have.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    if (posix_spawn(&m_pid, program.c_str(), &actions, &attributes, argPointers.data(),
                    envPointers.data()) != 0) {
        ADD_FAILURE() << "cannot start " << program;
        m_pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeEnds[1]);
    m_stderr = pipeEnds[0];
}

ServiceProcess::~ServiceProcess() {
    if (m_pid > 0 && !m_exited) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_stderr >= 0) ::close(m_stderr);
}

std::optional<std::string> ServiceProcess::WaitForLine(const std::string& prefix,
                                                       std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        for (std::size_t end; (end = m_pending.find('\n')) != std::string::npos;) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            if (line.starts_with(prefix)) return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd entry{m_stderr, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(m_stderr, buffer, sizeof buffer);
        if (n <= 0) return std::nullopt;
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

void ServiceProcess::Signal(int signal) {
    if (m_pid > 0 && !m_exited) ::kill(m_pid, signal);
}

void ServiceProcess::CloseErrorReader() {
    ::close(std::exchange(m_stderr, -1));
}

std::optional<int> ServiceProcess::WaitForExit(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (m_pid > 0 && !m_exited) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_exited = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

int FreePort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

}  // namespace service::test
