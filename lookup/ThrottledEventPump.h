#pragma once

namespace lookup {

// ProcessPendingEvents for the decoder's loop, which calls it once per character. Every
// call delivers the posted events (repaints, queued calls, posted input). The first call,
// and after it every callsPerFullPass-th, also makes the full pass of ProcessPendingEvents
// over timers, sockets and the window system's input queue: that pass costs a system call,
// some eighty times the decoding of a character, while a full pass every few hundred
// characters still comes round within microseconds.
class ThrottledEventPump {
public:
    explicit ThrottledEventPump(int callsPerFullPass = 256)
        : m_callsPerFullPass(callsPerFullPass) {}

    void operator()();

private:
    int m_callsPerFullPass;
    int m_callsUntilFullPass = 0;
};

}  // namespace lookup
