#pragma once

#include <pthread.h>

#include <functional>
#include <thread>

// Runs a stop function when SIGINT or SIGTERM arrives. It blocks both signals in the
// calling thread, so construct it before any other thread starts: threads inherit the
// mask, and the signals then reach only this object's waiting thread, where the stop
// function may do anything, not just what a signal handler may.
class SignalStopper {
public:
    explicit SignalStopper(std::function<void(int signal)> stop);
    ~SignalStopper();
    SignalStopper(const SignalStopper&) = delete;
    SignalStopper& operator=(const SignalStopper&) = delete;

private:
    std::function<void(int)> m_stop;
    sigset_t m_signals{};
    std::thread m_waiter;
};
