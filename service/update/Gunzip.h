#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace update {

// The bytes a gzip file holds, read piece by piece. Every member's trailer (CRC and length)
// is checked; a damaged stream, a file that ends inside a member and bytes after the last
// member are an UpdateError naming the file, never a short read.
class GunzipStream {
public:
    explicit GunzipStream(const std::string& path);
    ~GunzipStream();
    GunzipStream(const GunzipStream&) = delete;
    GunzipStream& operator=(const GunzipStream&) = delete;

    // Up to size bytes into buffer; 0 only once the whole file has been read and checked.
    std::size_t Read(char* buffer, std::size_t size);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Unpacks a gzip file into to (made or replaced; removed on failure); a damaged stream, a
// wrong trailer or more than maxBytes of output is an UpdateError.
void Gunzip(const std::string& from, const std::string& to, std::uint64_t maxBytes);

}  // namespace update
