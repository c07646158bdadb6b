#include "MmdbFile.h"

#include "DataError.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace service {

MmdbFile::MmdbFile(const std::string& path) {
    const int status = MMDB_open(path.c_str(), MMDB_MODE_MMAP, &m_database);
    if (status != MMDB_SUCCESS) {
        throw DataError(path + ": " + MMDB_strerror(status));
    }
}

MmdbFile::~MmdbFile() {
    MMDB_close(&m_database);
}

std::optional<std::vector<std::string>> MmdbFile::StringFields(
    std::uint32_t address, std::span<const char* const> fields) const {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = htonl(address);
    int status = MMDB_SUCCESS;
    MMDB_lookup_result_s result = MMDB_lookup_sockaddr(
        &m_database, reinterpret_cast<const sockaddr*>(&socketAddress), &status);
    if (status != MMDB_SUCCESS || !result.found_entry) return std::nullopt;

    std::vector<std::string> values;
    values.reserve(fields.size());
    for (const char* field : fields) {
        MMDB_entry_data_s data{};
        const char* const path[] = {field, nullptr};
        const bool isString = MMDB_aget_value(&result.entry, &data, path) == MMDB_SUCCESS &&
                              data.has_data && data.type == MMDB_DATA_TYPE_UTF8_STRING;
        values.emplace_back(isString ? std::string(data.utf8_string, data.data_size) : "");
    }
    return values;
}

}  // namespace service
