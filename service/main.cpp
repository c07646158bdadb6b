// wherix-service: answers the program's two pages from local databases.
#include "DataError.h"
#include "GeoData.h"
#include "LookupServer.h"
#include "ServiceOptions.h"
#include "SignalStopper.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum ExitStatus { kStopped = 0, kUsage = 2, kNoData = 3, kCannotListen = 4 };

void LogToStderr(std::string_view line) {
    std::string text(line);
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stderr);  // one write, so lines never mix
}

std::string HostForDisplay(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    service::ServiceOptions options;
    try {
        options = service::ParseServiceOptions(arguments);
    } catch (const service::UsageError& error) {
        std::cerr << "wherix-service: " << error.what() << "\n" << service::UsageText();
        return kUsage;
    }
    if (options.showHelp) {
        std::cout << service::UsageText();
        return kStopped;
    }

    std::unique_ptr<service::GeoData> data;
    try {
        data = std::make_unique<service::GeoData>(options.dataFolder);
    } catch (const service::DataError& error) {
        std::cerr << "wherix-service: " << service::DataErrorAdvice(error, options.dataFolder);
        return kNoData;
    }

    service::LookupServer server(*data, options.trustProxy, LogToStderr);
    int port = 0;
    try {
        port = server.Bind(options.host, options.port);
    } catch (const service::ListenError& error) {
        std::cerr << "wherix-service: " << error.what()
                  << "\n(is another service already listening there? choose another port with"
                     " --listen)\n";
        return kCannotListen;
    }

    SignalStopper stopper([&server](int signal) {
        LogToStderr("stopping on signal " + std::to_string(signal));
        server.Stop();
    });
    LogToStderr("listening on " + HostForDisplay(options.host) + ":" + std::to_string(port));
    return server.Run() ? kStopped : kCannotListen;
}
