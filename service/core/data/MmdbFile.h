#pragma once

#include "service/core/IpAddress.h"

#include <maxminddb.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace service {

// One record of a MaxMind DB file, read through a path of map keys and array indexes
// ("subdivisions", "0", "names", "en"). It points into its file's mapping, so it lives no
// longer than its MmdbFile.
class MmdbRecord {
public:
    explicit MmdbRecord(const MMDB_entry_s& entry) : m_entry(entry) {}

    // The string at the path; empty where there is none or another type stands there.
    std::string_view String(std::initializer_list<const char*> path) const;
    // The number (float, double or integer) at the path.
    std::optional<double> Number(std::initializer_list<const char*> path) const;
    // Whether the record holds a value of this type (MMDB_DATA_TYPE_...) at the path.
    bool Holds(std::initializer_list<const char*> path, std::uint32_t type) const;
    // Where the record's data begin in the file; the networks that share a record share it.
    std::uint32_t Offset() const { return m_entry.offset; }

private:
    std::optional<MMDB_entry_data_s> Value(std::initializer_list<const char*> path) const;

    MMDB_entry_s m_entry;
};

// A record found for an address, and the network of the search tree it was found in: every
// address of the network has this record.
struct MmdbMatch {
    MmdbRecord record;
    AddressSpan network;
};

// One MaxMind DB file, memory-mapped for the life of the object. Lookups only read the
// mapping, so any number of threads may call them at once.
class MmdbFile {
public:
    // Throws DataError when the file cannot be opened or is no MaxMind DB.
    explicit MmdbFile(const std::string& path);
    ~MmdbFile();
    MmdbFile(const MmdbFile&) = delete;
    MmdbFile& operator=(const MmdbFile&) = delete;

    // The record that holds the address; nothing when no record does (an IPv6 address in a
    // file of IPv4 networks included).
    std::optional<MmdbMatch> Find(const IpAddress& address) const;

    // The type the file's metadata give ("city ipv4", "country ipvAll", ...).
    std::string_view DatabaseType() const;

    // Calls visit(first, last, record) for every network of the file that holds a record,
    // in address order. In a file of both families the networks in ::/96 are given as IPv4
    // ones and the aliases of the IPv4 space (::ffff:0:0/96, 2002::/16) are passed over.
    // Throws DataError for a tree that cannot be read.
    using NetworkVisitor =
        std::function<void(const IpAddress& first, const IpAddress& last, const MmdbRecord&)>;
    void ForEachNetwork(const NetworkVisitor& visit) const;

    // A record of the file, the first one met in the search tree, to tell the file's
    // record layout by; nothing for a file without records.
    std::optional<MmdbRecord> AnyRecord() const;

private:
    mutable MMDB_s m_database{};
};

}  // namespace service
