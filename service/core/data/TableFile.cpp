#include "service/core/data/TableFile.h"

#include "service/core/data/DataError.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace service {
namespace {

constexpr std::string_view kMagic = "LKTABLES";

struct FileHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t sectionCount;
};

struct DirectoryEntry {
    std::uint32_t section;
    std::uint32_t reserved;
    std::uint64_t offset;
    std::uint64_t size;
};

constexpr std::size_t kAlignment = 8;

std::size_t Aligned(std::size_t offset) {
    return (offset + kAlignment - 1) / kAlignment * kAlignment;
}

std::string SystemError(const std::string& path, const char* what) {
    return path + ": " + what + ": " + std::strerror(errno);
}

}  // namespace

TableFile::TableFile(const std::string& path) : m_path(path) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) throw DataError(SystemError(path, "cannot open"));
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        throw DataError(path + ": not a regular file");
    }
    m_size = static_cast<std::size_t>(status.st_size);
    if (m_size < sizeof(FileHeader)) {
        close(descriptor);
        throw DataError(path + ": truncated (" + std::to_string(m_size) + " bytes)");
    }
    void* mapping = mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, descriptor, 0);
    close(descriptor);
    if (mapping == MAP_FAILED) throw DataError(SystemError(path, "cannot map"));
    m_data = static_cast<const char*>(mapping);

    FileHeader header{};
    std::memcpy(&header, m_data, sizeof header);
    const auto fail = [&](const std::string& why) {
        munmap(const_cast<char*>(m_data), m_size);
        throw DataError(path + ": " + why);
    };
    if (std::string_view(header.magic, sizeof header.magic) != kMagic) {
        fail("not a compiled table file");
    }
    if (header.version != kFormatVersion) {
        fail("compiled tables of format " + std::to_string(header.version) +
             ", this program reads format " + std::to_string(kFormatVersion));
    }
    const std::size_t directoryEnd =
        sizeof(FileHeader) + std::size_t{header.sectionCount} * sizeof(DirectoryEntry);
    if (header.sectionCount > 64 || directoryEnd > m_size) fail("truncated directory");
    for (std::uint32_t i = 0; i < header.sectionCount; ++i) {
        DirectoryEntry entry{};
        std::memcpy(&entry, m_data + sizeof(FileHeader) + i * sizeof(DirectoryEntry), sizeof entry);
        if (entry.offset % kAlignment != 0 || entry.offset < directoryEnd ||
            entry.offset > m_size || entry.size > m_size - entry.offset) {
            fail("section " + std::to_string(entry.section) +
                 " lies outside the file (truncated?)");
        }
        m_sections.emplace_back(static_cast<TableSection>(entry.section),
                                std::string_view(m_data + entry.offset, entry.size));
    }
}

TableFile::~TableFile() {
    munmap(const_cast<char*>(m_data), m_size);
}

std::string_view TableFile::Text(TableSection section) const {
    for (const auto& [id, bytes] : m_sections) {
        if (id == section) return bytes;
    }
    Refuse(section);
}

void TableFile::Refuse(TableSection section) const {
    throw DataError(m_path + ": section " + std::to_string(static_cast<std::uint32_t>(section)) +
                    " is missing or damaged");
}

void TableWriter::Add(TableSection section, std::string_view bytes) {
    m_sections.emplace_back(section, std::string(bytes));
}

void TableWriter::Write(const std::string& path) const {
    std::string file(sizeof(FileHeader) + m_sections.size() * sizeof(DirectoryEntry), '\0');
    FileHeader header{};
    std::memcpy(header.magic, kMagic.data(), sizeof header.magic);
    header.version = TableFile::kFormatVersion;
    header.sectionCount = static_cast<std::uint32_t>(m_sections.size());
    std::memcpy(file.data(), &header, sizeof header);
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        file.resize(Aligned(file.size()), '\0');
        const DirectoryEntry entry{static_cast<std::uint32_t>(m_sections[i].first), 0, file.size(),
                                   m_sections[i].second.size()};
        std::memcpy(file.data() + sizeof(FileHeader) + i * sizeof(DirectoryEntry), &entry,
                    sizeof entry);
        file += m_sections[i].second;
    }

    const std::string temporary = path + ".new";
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) throw DataError(SystemError(temporary, "cannot create"));
    std::size_t written = 0;
    while (written < file.size()) {
        const ssize_t n = write(descriptor, file.data() + written, file.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    const bool complete = written == file.size() && fsync(descriptor) == 0;
    const std::string error = complete ? std::string() : SystemError(temporary, "cannot write");
    if (close(descriptor) != 0 || !complete || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        throw DataError(error.empty() ? SystemError(path, "cannot replace") : error);
    }
}

}  // namespace service
