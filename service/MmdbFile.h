#pragma once

#include <maxminddb.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace service {

// One MaxMind DB file, memory-mapped for the life of the object. Lookups only read the
// mapping, so any number of threads may call them at once.
class MmdbFile {
public:
    // Throws DataError when the file cannot be opened or is no MaxMind DB.
    explicit MmdbFile(const std::string& path);
    ~MmdbFile();
    MmdbFile(const MmdbFile&) = delete;
    MmdbFile& operator=(const MmdbFile&) = delete;

    // The named top-level string fields of the record that holds the address, in the order
    // asked (empty for a field the record lacks or holds as another type); nothing when no
    // record holds the address.
    std::optional<std::vector<std::string>> StringFields(std::uint32_t address,
                                                         std::span<const char* const> fields) const;

private:
    mutable MMDB_s m_database{};
};

}  // namespace service
