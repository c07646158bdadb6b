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
    // query parameters (about 64 bytes each) and the answer's head. The library clears all
    // of it for every request, which costs more than the whole answer at 96 KiB (42,000
    // against 87,000 answers a second at 12 KiB, one thread), so it is kept at a size that
    // takes a head of 8 KiB or a query of 450 parameters; a longer list of parameters gets a
    // closed connection from the library (the shipped nginx front refuses 256 and more).
    std::size_t connectionMemory = 32 * 1024;
    // Serving threads; 0 takes one per processor.
    unsigned threads = 0;
};

}  // namespace service
