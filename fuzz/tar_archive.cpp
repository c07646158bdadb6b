// A package tarball's tar stream, after gzip: any bytes. The archive is either refused with
// an UpdateError or read to its end, every file's body exactly as long as its header says
// and no path absolute or climbing out with "..".
#include "fuzz/Require.h"
#include "service/update/TarReader.h"
#include "service/update/UpdateError.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

bool ClimbsOut(std::string_view path) {
    if (path.starts_with('/')) return true;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        if (path.substr(0, slash) == "..") return true;
        path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The stream hands out odd-sized pieces, as a gzip stream may.
    std::size_t position = 0;
    update::TarReader archive("fuzz.tgz", [&](char* buffer, std::size_t wanted) {
        const std::size_t length = std::min({wanted, std::size_t{777}, size - position});
        std::memcpy(buffer, data + position, length);
        position += length;
        return length;
    });
    try {
        while (const auto entry = archive.Next()) {
            Require(!entry->path.empty() && !ClimbsOut(entry->path), "a safe path");
            std::uint64_t read = 0;
            archive.ReadBody([&](std::string_view bytes) { read += bytes.size(); });
            Require(read == entry->size, "the whole body");
        }
    } catch (const update::UpdateError&) {
    }
    return 0;
}
