// wherix-service: answers the program's two pages from local databases.
#include "service/core/GeoData.h"
#include "service/core/data/DataError.h"
#include "service/daemon/AccessLog.h"
#include "service/daemon/BoundedWrite.h"
#include "service/daemon/DataReloader.h"
#include "service/daemon/ProcessSafety.h"
#include "service/daemon/ServiceManager.h"
#include "service/daemon/ServiceOptions.h"
#include "service/daemon/ServiceSignals.h"
#include "service/http/DataAge.h"
#include "service/http/DataSetChoice.h"
#include "service/http/ListeningSocket.h"
#include "service/http/ReloadableData.h"
#include "service/http/Routes.h"
#include "service/http/Server.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum ExitStatus { kStopped = 0, kUsage = 2, kNoData = 3, kCannotListen = 4 };

// Descriptors the service keeps besides its connections: standard streams, the log, the
// databases, the serving threads' event queues.
constexpr unsigned kSpareDescriptors = 64;

// One write, so lines never mix; a stderr whose reader has stalled costs a second at
// most, so that the service still stops on a signal.
void LogToStderr(std::string_view line) {
    std::string text(line);
    text += '\n';
    std::size_t written = 0;
    service::WriteWithin(STDERR_FILENO, text, std::chrono::seconds(1), written);
}

std::string Joined(const std::vector<std::string>& folders) {
    std::string text;
    for (const std::string& folder : folders) text += (text.empty() ? "" : ", ") + folder;
    return text;
}

std::unique_ptr<service::AccessLog> OpenAccessLog(const std::string& where) {
    if (where == "off") return nullptr;
    if (where == "-") return std::make_unique<service::AccessLog>(STDERR_FILENO, LogToStderr);
    return std::make_unique<service::AccessLog>(where, LogToStderr);
}

}  // namespace

int main(int argc, char** argv) {
    service::KeepStandardDescriptorsOpen();
    service::IgnoreBrokenPipes();
    ServiceSignals signals;  // first, so that every thread started later has them blocked

    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    service::ServiceOptions options;
    try {
        options = service::ParseServiceOptions(arguments);
    } catch (const service::ServiceUsageError& error) {
        std::cerr << "wherix-service: " << error.what() << "\n" << service::UsageText();
        return kUsage;
    }
    if (options.showHelp) {
        std::cout << service::UsageText();
        return kStopped;
    }

    service::ReportDataFaults(Joined(options.dataFolders));
    std::unique_ptr<service::AccessLog> accessLog;
    try {
        accessLog = OpenAccessLog(options.accessLog);
    } catch (const std::runtime_error& error) {
        std::cerr << "wherix-service: " << error.what() << "\n";
        return kUsage;
    }
    // Lines about the service itself go out at once, after the requests logged before them.
    const auto say = [&accessLog](std::string_view line) {
        if (accessLog) accessLog->Flush();
        LogToStderr(line);
    };

    std::shared_ptr<const service::GeoData> loaded =
        service::LoadNewestDataSet(options.dataFolders, false, say);
    if (!loaded) {
        const service::DataError error("no good data set in " + Joined(options.dataFolders));
        std::cerr << "wherix-service: "
                  << service::DataErrorAdvice(error, options.dataFolders.front());
        return kNoData;
    }
    service::WarnIfStale(loaded->record(), say);
    service::ReloadableData data(std::move(loaded));

    std::optional<int> passed;
    try {
        passed = service::PassedListeningSocket();
    } catch (const service::ListenError& error) {
        std::cerr << "wherix-service: " << error.what()
                  << "\n(check the ListenStream= lines of the service's socket unit)\n";
        return kCannotListen;
    }
    int listening = -1;
    try {
        listening = passed ? *passed : service::OpenListeningSocket(options.host, options.port);
    } catch (const service::ListenError& error) {
        std::cerr << "wherix-service: " << error.what()
                  << "\n(is another service already listening there? choose another port with"
                     " --listen)\n";
        return kCannotListen;
    }

    service::ServerLimits limits = options.limits;
    // Connections being closed to make room take descriptors for a moment too.
    constexpr unsigned kReserved = kSpareDescriptors + service::Server::kClosingHeadroom;
    limits.maxConnections = std::min(
        limits.maxConnections, std::max(service::RaiseOpenFileLimit(), 2 * kReserved) - kReserved);
    const service::Routes routes(data, options.trustProxy);
    service::Server server(routes, limits,
                           accessLog
                               ? service::Server::LogSink([&accessLog](std::string_view line) {
                                     accessLog->Write(line);
                                 })
                               : nullptr);
    const std::string where = service::LocalAddressText(listening);
    try {
        server.Start(listening);
    } catch (const service::ListenError& error) {
        std::cerr << "wherix-service: " << error.what() << "\n";
        return kCannotListen;
    }
    say("listening on " + where);
    service::NotifyServiceManager("READY=1");
    service::DataReloader reloader(data, options.dataFolders, say);

    for (;;) {
        const int signal = signals.Next();
        if (signal != SIGHUP && signal != SIGUSR1) {
            service::NotifyServiceManager("STOPPING=1");
            say("stopping on signal " + std::to_string(signal));
            break;
        }
        if (accessLog) accessLog->Reopen();
        if (signal == SIGHUP) {
            reloader.Request();
        } else if (options.accessLog != "-" && options.accessLog != "off") {
            say("access log reopened: " + options.accessLog);
        }
    }
    server.Stop();
    if (reloader.Busy()) {
        // A reload under way is abandoned rather than waited for; nothing is left to tidy
        // that the end of the process does not tidy.
        if (accessLog) accessLog->Flush();
        std::_Exit(kStopped);
    }
    return kStopped;
}
