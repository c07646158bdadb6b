#include "SignalStopper.h"

#include <csignal>

SignalStopper::SignalStopper(std::function<void(int signal)> stop) : m_stop(std::move(stop)) {
    sigemptyset(&m_signals);
    sigaddset(&m_signals, SIGINT);
    sigaddset(&m_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
    // A shell starts background jobs with SIGINT ignored; the service still wants it.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    m_waiter = std::thread([this] {
        int signal = 0;
        if (sigwait(&m_signals, &signal) == 0) m_stop(signal);
    });
}

SignalStopper::~SignalStopper() {
    // The waiter may still be waiting when the service stopped for another reason.
    pthread_kill(m_waiter.native_handle(), SIGTERM);
    m_waiter.join();
}
