#include "service/core/data/MmdbFile.h"

#include "service/core/data/DataError.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <array>
#include <vector>

namespace service {
namespace {

// A network of the search tree: its first address as 128 bits (an IPv4 tree's in the low
// 32) and its prefix length.
struct Network {
    Ipv6Address first;
    unsigned length = 0;
};

Network Child(const Network& parent, int side) {
    Network child{parent.first, parent.length + 1};
    if (side == 1) {
        const unsigned bit = parent.length;  // from the most significant of 128
        (bit < 64 ? child.first.high : child.first.low) |= std::uint64_t{1} << (63 - bit % 64);
    }
    return child;
}

bool IsIpv4Alias(const Network& network) {
    return (network.length == 96 && network.first == Ipv6Address{0, 0xFFFF00000000}) ||
           (network.length == 16 && network.first == Ipv6Address{0x2002000000000000, 0});
}

}  // namespace

std::optional<MMDB_entry_data_s> MmdbRecord::Value(std::initializer_list<const char*> path) const {
    std::array<const char*, 8> terminated{};
    if (path.size() >= terminated.size()) return std::nullopt;
    std::copy(path.begin(), path.end(), terminated.begin());
    MMDB_entry_data_s data{};
    MMDB_entry_s entry = m_entry;
    if (MMDB_aget_value(&entry, &data, terminated.data()) != MMDB_SUCCESS || !data.has_data) {
        return std::nullopt;
    }
    return data;
}

std::string_view MmdbRecord::String(std::initializer_list<const char*> path) const {
    const auto data = Value(path);
    if (!data || data->type != MMDB_DATA_TYPE_UTF8_STRING) return {};
    return std::string_view(data->utf8_string, data->data_size);
}

std::optional<double> MmdbRecord::Number(std::initializer_list<const char*> path) const {
    const auto data = Value(path);
    if (!data) return std::nullopt;
    switch (data->type) {
        case MMDB_DATA_TYPE_DOUBLE:
            return data->double_value;
        case MMDB_DATA_TYPE_FLOAT:
            return data->float_value;
        case MMDB_DATA_TYPE_UINT16:
            return data->uint16;
        case MMDB_DATA_TYPE_UINT32:
            return data->uint32;
        case MMDB_DATA_TYPE_INT32:
            return data->int32;
        default:
            return std::nullopt;
    }
}

bool MmdbRecord::Holds(std::initializer_list<const char*> path, std::uint32_t type) const {
    const auto data = Value(path);
    return data && data->type == type;
}

MmdbFile::MmdbFile(const std::string& path) {
    const int status = MMDB_open(path.c_str(), MMDB_MODE_MMAP, &m_database);
    if (status != MMDB_SUCCESS) {
        throw DataError(path + ": " + MMDB_strerror(status));
    }
}

MmdbFile::~MmdbFile() {
    MMDB_close(&m_database);
}

std::optional<MmdbMatch> MmdbFile::Find(const IpAddress& address) const {
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* socketAddress = nullptr;
    if (const auto* ipv4 = std::get_if<std::uint32_t>(&address)) {
        v4.sin_family = AF_INET;
        v4.sin_addr.s_addr = htonl(*ipv4);
        socketAddress = reinterpret_cast<const sockaddr*>(&v4);
    } else {
        const Ipv6Address& ipv6 = std::get<Ipv6Address>(address);
        v6.sin6_family = AF_INET6;
        for (int i = 0; i < 8; ++i) {
            v6.sin6_addr.s6_addr[i] = static_cast<std::uint8_t>(ipv6.high >> (56 - 8 * i));
            v6.sin6_addr.s6_addr[8 + i] = static_cast<std::uint8_t>(ipv6.low >> (56 - 8 * i));
        }
        socketAddress = reinterpret_cast<const sockaddr*>(&v6);
    }
    int status = MMDB_SUCCESS;
    const MMDB_lookup_result_s result = MMDB_lookup_sockaddr(&m_database, socketAddress, &status);
    if (status != MMDB_SUCCESS || !result.found_entry) return std::nullopt;
    // The prefix length counts the bits of the tree's own addresses; an IPv4 address's bits
    // in a tree of IPv6 ones start at ::/96.
    unsigned length = result.netmask;
    if (address.index() == 0 && m_database.metadata.ip_version == 6) {
        length = length > 96 ? length - 96 : 0;
    }
    return MmdbMatch{MmdbRecord(result.entry), NetworkAround(address, length)};
}

std::string_view MmdbFile::DatabaseType() const {
    const char* type = m_database.metadata.database_type;
    return type != nullptr ? std::string_view(type) : std::string_view();
}

void MmdbFile::ForEachNetwork(const NetworkVisitor& visit) const {
    const bool ipv4Tree = m_database.metadata.ip_version == 4;
    // An IPv4 tree's networks are the last 32 bits of the 128 walked here.
    const unsigned skipped = ipv4Tree ? 96 : 0;
    const auto emit = [&](const Network& network, const MMDB_entry_s& entry) {
        const Ipv6Address last = LastInNetwork(network.first, network.length);
        const bool ipv4 = ipv4Tree || (network.first.high == 0 && network.first.low >> 32 == 0 &&
                                       network.length >= 96);
        if (ipv4) {
            visit(IpAddress(static_cast<std::uint32_t>(network.first.low)),
                  IpAddress(static_cast<std::uint32_t>(last.low)), MmdbRecord(entry));
        } else {
            visit(IpAddress(network.first), IpAddress(last), MmdbRecord(entry));
        }
    };
    // Depth first, the lower half first; a record met is emitted when it comes off the
    // stack, so that networks come in address order. Only links to later nodes are
    // followed, so a damaged tree cannot make this loop.
    struct Pending {
        Network network;
        std::uint32_t node = 0;
        std::optional<MMDB_entry_s> record;
    };
    std::vector<Pending> pending{{Network{{}, skipped}, 0, std::nullopt}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        if (next.record) {
            emit(next.network, *next.record);
            continue;
        }
        MMDB_search_node_s children{};
        if (MMDB_read_node(&m_database, next.node, &children) != MMDB_SUCCESS) {
            throw DataError(std::string(m_database.filename) + ": a damaged search tree");
        }
        const std::uint8_t types[] = {children.left_record_type, children.right_record_type};
        const std::uint64_t records[] = {children.left_record, children.right_record};
        const MMDB_entry_s entries[] = {children.left_record_entry, children.right_record_entry};
        for (const int side : {1, 0}) {
            const Network child = Child(next.network, side);
            if (IsIpv4Alias(child)) continue;
            if (types[side] == MMDB_RECORD_TYPE_DATA) {
                pending.push_back({child, 0, entries[side]});
            } else if (types[side] == MMDB_RECORD_TYPE_SEARCH_NODE && records[side] > next.node &&
                       child.length < 128) {
                pending.push_back({child, static_cast<std::uint32_t>(records[side]), std::nullopt});
            } else if (types[side] == MMDB_RECORD_TYPE_INVALID) {
                throw DataError(std::string(m_database.filename) + ": a damaged search tree");
            }
        }
    }
}

std::optional<MmdbRecord> MmdbFile::AnyRecord() const {
    // Depth first through the search tree. Only links to later nodes are followed (the
    // IPv4 alias of an IPv6 tree links back), so a damaged tree cannot make this loop.
    std::vector<std::uint32_t> pending{0};
    while (!pending.empty()) {
        const std::uint32_t node = pending.back();
        pending.pop_back();
        MMDB_search_node_s children{};
        if (MMDB_read_node(&m_database, node, &children) != MMDB_SUCCESS) return std::nullopt;
        const std::uint8_t types[] = {children.left_record_type, children.right_record_type};
        const std::uint64_t records[] = {children.left_record, children.right_record};
        const MMDB_entry_s entries[] = {children.left_record_entry, children.right_record_entry};
        for (const int side : {0, 1}) {
            if (types[side] == MMDB_RECORD_TYPE_DATA) return MmdbRecord(entries[side]);
        }
        for (const int side : {1, 0}) {
            if (types[side] == MMDB_RECORD_TYPE_SEARCH_NODE && records[side] > node &&
                pending.size() < 200) {
                pending.push_back(static_cast<std::uint32_t>(records[side]));
            }
        }
    }
    return std::nullopt;
}

}  // namespace service
