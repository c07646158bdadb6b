#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace service::test {

// A program run as a child process with its standard error read line by line; killed
// when the object goes, if still running.
class ServiceProcess {
public:
    // How the program's standard error starts: a pipe read by this object, or closed.
    enum class Streams { ErrorCaptured, ErrorClosed };

    // Runs program with the arguments; environment entries ("NAME=value") are added to
    // this process's environment.
    ServiceProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment = {},
                   Streams streams = Streams::ErrorCaptured);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // The next line of standard error that begins with prefix, waiting up to the given
    // time; the lines before it are skipped.
    std::optional<std::string> WaitForLine(const std::string& prefix,
                                           std::chrono::milliseconds wait);

    int pid() const { return m_pid; }
    void Signal(int signal);

    // Stops reading standard error: the program's next write there meets a pipe without a
    // reader.
    void CloseErrorReader();

    // The exit status once the process has ended, or nothing when it still runs after the
    // given time.
    std::optional<int> WaitForExit(std::chrono::milliseconds wait);

private:
    int m_pid = -1;
    int m_stderr = -1;
    std::string m_pending;
    bool m_exited = false;
};

// The port of a free TCP port on 127.0.0.1 at the time of the call.
int FreePort();

}  // namespace service::test
