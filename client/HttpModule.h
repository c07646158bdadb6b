#pragma once

// The request object lives in a module of its own (wherix-http.so), loaded at the first
// request: libcurl and the many libraries it pulls in are then loaded only when the
// program first talks to the service, not before its window shows. CreateHttpRequest
// (HttpRequest.h) loads it; a module that cannot be loaded fails that request with
// LookupFailure, as a service that cannot be reached does.

namespace client {

// The module's one entry point, an extern "C" function that returns a fresh
// CurlHttpRequest owned by the caller.
inline constexpr char kHttpModuleEntry[] = "lokaro_create_http_request";

}  // namespace client
