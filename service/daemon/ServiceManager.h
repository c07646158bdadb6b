#pragma once

#include <optional>

namespace service {

// The listening socket the service manager passed (socket activation), if it passed any.
// Throws ListenError when it passed more than one, or one that is no listening TCP socket.
std::optional<int> PassedListeningSocket();

// Tells the service manager the service's state ("READY=1", "RELOADING=1", "STOPPING=1");
// does nothing when no service manager listens.
void NotifyServiceManager(const char* state);

// Raises the limit of open files to the most the process may have and returns it, so
// that the connection limit, not the file limit, decides how many clients are served.
unsigned RaiseOpenFileLimit();

}  // namespace service
