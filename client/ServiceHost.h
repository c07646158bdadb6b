#pragma once

#include <QString>

namespace client {

// The lookup service's host, "host" or "host:port": LOKARO_SERVICE_HOST from the
// environment when set and not empty, else the host compiled in from the CMake cache
// variable of the same name.
QString ServiceHost();

// "http://" + ServiceHost() + path, nothing after the path.
QString ServiceUrl(const QString& path);

inline constexpr char16_t kOwnAddressPath[] = u"/ips.asp";
inline constexpr char16_t kQueryPath[] = u"/ips8.asp";

}  // namespace client
