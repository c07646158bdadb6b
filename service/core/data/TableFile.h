#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace service {

// The sections of a compiled table file, each an array of fixed-width records or a block of
// text the records point into.
enum class TableSection : std::uint32_t {
    kAsnRanges4 = 1,
    kAsnRanges6,
    kAsnOrganisations,
    kAsnText,
    kRegionEntries,
    kRegionText,
    kCityHashes,
    kCityPlaces,
    kCityText,
    kCarrierEntries,
    kCarrierText,
    kCountryRanges4,
    kCountryRanges6,
};

// A piece of a section's text: where it starts and how long it is.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The text a TextRef points at, or nothing when it points outside (a damaged file).
inline std::string_view TextAt(std::string_view text, TextRef ref) {
    if (ref.offset > text.size() || ref.length > text.size() - ref.offset) return {};
    return text.substr(ref.offset, ref.length);
}

// Appends piece to a section's text under construction and says where it stands.
inline TextRef AppendText(std::vector<char>& text, std::string_view piece) {
    const TextRef ref{static_cast<std::uint32_t>(text.size()),
                      static_cast<std::uint32_t>(piece.size())};
    text.insert(text.end(), piece.begin(), piece.end());
    return ref;
}

// A compiled table file mapped into memory: the tables are used where they lie, without
// parsing. The file starts with "LKTABLES", the format version and a directory of
// sections, each 8-byte aligned. Anything that does not fit (another version, a section
// beyond the end, a size that is not a whole number of records) is refused at open, so a
// damaged or truncated file is a DataError, never a read outside the mapping.
class TableFile {
public:
    static constexpr std::uint32_t kFormatVersion = 2;

    // Throws DataError.
    explicit TableFile(const std::string& path);
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    std::string_view Text(TableSection section) const;

    template <typename Record>
    std::span<const Record> Array(TableSection section) const {
        static_assert(std::is_trivially_copyable_v<Record> && alignof(Record) <= 8);
        const std::string_view bytes = Text(section);
        if (bytes.size() % sizeof(Record) != 0) Refuse(section);
        return {reinterpret_cast<const Record*>(bytes.data()), bytes.size() / sizeof(Record)};
    }

private:
    [[noreturn]] void Refuse(TableSection section) const;

    std::string m_path;
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    std::vector<std::pair<TableSection, std::string_view>> m_sections;
};

// Collects the sections of a compiled table file and writes it.
class TableWriter {
public:
    void Add(TableSection section, std::string_view bytes);

    template <typename Record>
    void Add(TableSection section, std::span<const Record> records) {
        static_assert(std::is_trivially_copyable_v<Record> && alignof(Record) <= 8);
        Add(section,
            std::string_view(reinterpret_cast<const char*>(records.data()), records.size_bytes()));
    }

    // Writes the file under a temporary name beside path, flushes it to the disk and renames
    // it over path, so a reader sees the old file or the whole new one. Throws DataError.
    void Write(const std::string& path) const;

private:
    std::vector<std::pair<TableSection, std::string>> m_sections;
};

}  // namespace service
