#include "service/core/data/DataSetRecord.h"

#include "service/core/data/DataError.h"
#include "service/core/data/TableFile.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>

namespace service {
namespace {

constexpr std::string_view kFirstWord = "lokaro-geodata-set";

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Dashed(std::string_view year, std::string_view month, std::string_view day) {
    if (!(year.starts_with("19") || year.starts_with("20"))) return {};
    return std::string(year) + '-' + std::string(month) + '-' + std::string(day);
}

// The date a source's version stands for, YYYY-MM-DD, or empty: "20261206", "2026-12",
// "2026-12-06", or after the last dot "2.3.2026060513" (a day and an hour).
std::string VersionDate(std::string_view version) {
    if (version.size() >= 7 && version[4] == '-' && AllDigits(version.substr(0, 4)) &&
        AllDigits(version.substr(5, 2))) {
        if (version.size() == 7) return Dashed(version.substr(0, 4), version.substr(5, 2), "01");
        if (version.size() == 10 && version[7] == '-' && AllDigits(version.substr(8))) {
            return Dashed(version.substr(0, 4), version.substr(5, 2), version.substr(8));
        }
        return {};
    }
    const std::size_t dot = version.rfind('.');
    const std::string_view digits =
        dot == std::string_view::npos ? version : version.substr(dot + 1);
    if (!AllDigits(digits) || digits.size() < 8 || digits.size() > 10) return {};
    return Dashed(digits.substr(0, 4), digits.substr(4, 2), digits.substr(6, 2));
}

}  // namespace

std::string OldestSourceDate(const std::vector<std::string>& sources) {
    std::string oldest;
    for (const std::string& source : sources) {
        const std::string name = source.substr(0, source.find(' '));
        const std::size_t at = name.rfind('@');
        if (at == std::string::npos || at == 0) continue;
        const std::string date = VersionDate(name.substr(at + 1));
        if (!date.empty() && (oldest.empty() || date < oldest)) oldest = date;
    }
    return oldest;
}

std::string UtcNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, format, &utc));
}

DataSetRecord ReadDataSetRecord(const std::string& folder) {
    const std::string path = (std::filesystem::path(folder) / kDataSetRecordFile).string();
    std::ifstream in(path);
    if (!in) {
        throw DataError(folder + ": not a compiled data set (no " + kDataSetRecordFile + ")");
    }
    DataSetRecord record;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        std::istringstream fields(line);
        std::string word;
        fields >> word;
        bool good = true;
        if (number == 1) {
            good = word == kFirstWord && (fields >> record.format) && fields.eof();
            if (good && record.format != TableFile::kFormatVersion) {
                throw DataError(path + ": a data set of format " + std::to_string(record.format) +
                                ", this program reads format " +
                                std::to_string(TableFile::kFormatVersion));
            }
        } else if (word == "made") {
            good = static_cast<bool>(fields >> record.made);
        } else if (word == "published") {
            good = static_cast<bool>(fields >> record.published);
        } else if (word == "source") {
            std::getline(fields >> std::ws, record.sources.emplace_back());
        } else if (word == "file") {
            DataSetRecord::File file;
            good = static_cast<bool>(fields >> file.name >> file.size >> std::hex >> file.crc32) &&
                   file.name.find('/') == std::string::npos;
            record.files.push_back(file);
        } else {
            good = false;
        }
        if (!good) {
            throw DataError(path + ":" + std::to_string(number) + ": malformed");
        }
    }
    if (record.format == 0) throw DataError(path + ": empty");
    return record;
}

void WriteDataSetRecord(const std::string& folder, const DataSetRecord& record) {
    std::ostringstream text;
    text << kFirstWord << ' ' << record.format << "\nmade " << record.made << '\n';
    if (!record.published.empty()) text << "published " << record.published << '\n';
    for (const std::string& source : record.sources) text << "source " << source << '\n';
    for (const DataSetRecord::File& file : record.files) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", file.crc32);
        text << "file " << file.name << ' ' << file.size << ' ' << crc << '\n';
    }
    const std::filesystem::path path = std::filesystem::path(folder) / kDataSetRecordFile;
    const std::string temporary = path.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << text.str();
        out.flush();
        if (!out) {
            std::filesystem::remove(temporary);
            throw DataError(temporary + ": cannot write");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary);
        throw DataError(path.string() + ": cannot replace: " + error.message());
    }
}

std::uint32_t FileCrc32(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DataError(path + ": cannot read");
    uLong crc = crc32(0, nullptr, 0);
    std::vector<char> buffer(1 << 20);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()),
                    static_cast<uInt>(in.gcount()));
    }
    if (in.bad()) throw DataError(path + ": cannot read");
    return static_cast<std::uint32_t>(crc);
}

namespace {

// What tells a file's content without reading it: data files are never written in place (a
// new file is renamed over the old one), and writing or truncating a file in place changes
// its change time, which no one can set back. So a file whose device, inode, size and change
// time are those of a file whose checksum was found right still holds the bytes that were
// checked, and a reload reads only the files an update brought.
struct FileIdentity {
    dev_t device;
    ino_t inode;
    off_t size;
    std::int64_t changedSeconds;
    long changedNanoseconds;
    std::uint32_t crc32;

    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const std::string& path, std::uint32_t crc32) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return std::nullopt;
    return FileIdentity{status.st_dev,         status.st_ino,          status.st_size,
                        status.st_ctim.tv_sec, status.st_ctim.tv_nsec, crc32};
}

// The files of this process's last few sets whose checksums were found right.
class CheckedFiles {
public:
    bool Holds(const FileIdentity& identity) {
        const std::lock_guard lock(m_mutex);
        return std::find(m_files.begin(), m_files.end(), identity) != m_files.end();
    }
    void Add(const FileIdentity& identity) {
        const std::lock_guard lock(m_mutex);
        if (m_files.size() >= 64) m_files.erase(m_files.begin());
        m_files.push_back(identity);
    }

private:
    std::mutex m_mutex;
    std::vector<FileIdentity> m_files;
};

CheckedFiles& ProcessCheckedFiles() {
    static CheckedFiles files;
    return files;
}

void CheckChecksum(const std::string& path, std::uint32_t expected) {
    const auto before = IdentityOf(path, expected);
    if (before && ProcessCheckedFiles().Holds(*before)) return;
    if (FileCrc32(path) != expected) {
        throw DataError(path + ": its checksum is not the one the set records (damaged)");
    }
    // Changed while it was read: checked again next time.
    if (before && IdentityOf(path, expected) == before) ProcessCheckedFiles().Add(*before);
}

}  // namespace

void CheckDataSetFiles(const std::string& folder, const DataSetRecord& record, bool checksums) {
    for (const DataSetRecord::File& file : record.files) {
        const std::string path = (std::filesystem::path(folder) / file.name).string();
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error) throw DataError(path + ": not found");
        if (size != file.size) {
            throw DataError(path + ": " + std::to_string(size) + " bytes where the set records " +
                            std::to_string(file.size) + " (damaged or replaced)");
        }
        if (checksums) CheckChecksum(path, file.crc32);
    }
}

}  // namespace service
