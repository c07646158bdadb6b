#include "service/daemon/ServiceSignals.h"

#include <pthread.h>

#include <initializer_list>

ServiceSignals::ServiceSignals() {
    sigemptyset(&m_signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGUSR1}) {
        sigaddset(&m_signals, signal);
        // A shell starts background jobs with SIGINT ignored, and an ignored signal never
        // reaches sigwait; the service still wants it.
        std::signal(signal, SIG_DFL);
    }
    pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
}

int ServiceSignals::Next() {
    int signal = 0;
    while (sigwait(&m_signals, &signal) != 0) {
    }
    return signal;
}
