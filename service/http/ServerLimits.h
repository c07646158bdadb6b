#pragma once

#include <chrono>
#include <cstddef>

namespace service {

// What one client may take of the service. Every limit ends in a status code or a closed
// connection, never in waiting or buffering past it.
struct ServerLimits {
    // Open connections in all and from one address. Serving threads wait on none of them,
    // so idle connections cost memory only (at most connectionMemory each). At the limit in
    // all, the connection idle longest is closed to let a new one in; with none idle, and
    // beyond the limit per address, a new connection is closed at once.
    unsigned maxConnections = 4096;
    unsigned maxPerAddress = 1024;
    // A request must have arrived whole this long after its connection opened or its
    // previous answer went out; otherwise the connection is shut.
    std::chrono::seconds requestTime{10};
    // A connection that sends nothing for this long is closed (keep-alive included).
    std::chrono::seconds idleTime{5};
    // Per connection, for the request head, the library's records of its header lines and
    // query parameters (about 64 bytes each) and the answer's head. The service refuses
    // heads over 8 KiB with 431 itself; this leaves room for such a head with 1,400 query
    // parameters. The library answers 414 or 431 itself to a head that does not fit.
    // Memory is taken as used, so an ordinary request takes a few KiB of it.
    std::size_t connectionMemory = 96 * 1024;
    // Serving threads; 0 takes one per processor.
    unsigned threads = 0;
};

}  // namespace service
