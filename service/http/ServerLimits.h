#pragma once

#include <chrono>
#include <cstddef>

namespace service {

// What one client may take of the service. Every limit ends in a status code or a closed
// connection, never in waiting or buffering past it.
struct ServerLimits {
    // Open connections in all and from one address. Serving threads wait on none of them,
    // so idle connections cost memory only (at most connectionMemory each).
    unsigned maxConnections = 4096;
    unsigned maxPerAddress = 1024;
    // A request must have arrived whole this long after its connection opened or its
    // previous answer went out; otherwise the connection is shut.
    std::chrono::seconds requestTime{10};
    // A connection that sends nothing for this long is closed (keep-alive included).
    std::chrono::seconds idleTime{5};
    // Per connection, for the request head, its header records and the answer's head: a
    // head of more than about 8 KiB does not fit and is answered 431.
    std::size_t connectionMemory = 12 * 1024;
    // Serving threads; 0 takes one per processor.
    unsigned threads = 0;
};

}  // namespace service
