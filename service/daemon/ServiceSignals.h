#pragma once

#include <csignal>

// The signals the service acts on: SIGINT and SIGTERM stop it, SIGHUP reloads its data and
// reopens its access log, SIGUSR1 reopens its access log only.
// The constructor blocks them in the calling thread, and so in every thread started after
// it; Next takes them one at a time, in ordinary code rather than a signal handler.
// Construct it in main before any other thread starts.
class ServiceSignals {
public:
    ServiceSignals();
    ServiceSignals(const ServiceSignals&) = delete;
    ServiceSignals& operator=(const ServiceSignals&) = delete;

    // Waits for the next of the four signals and returns its number.
    int Next();

private:
    sigset_t m_signals{};
};
