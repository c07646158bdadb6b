#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace service {

// What a compiled data set records of itself in its MANIFEST file: the format it was made
// in, when, from which sources, and each of its files with size and CRC-32, so that a
// damaged, truncated or mixed set can be told before it is used.
struct DataSetRecord {
    struct File {
        std::string name;
        std::uint64_t size = 0;
        std::uint32_t crc32 = 0;
    };

    std::uint32_t format = 0;
    std::string made;  // UTC, ISO 8601
    // The day the oldest of its sources was published (YYYY-MM-DD), which tells how old its
    // answers are; empty when the sources do not say.
    std::string published;
    std::vector<std::string> sources;  // "package@version files...", as fetched
    std::vector<File> files;
};

inline constexpr char kDataSetRecordFile[] = "MANIFEST";

// The time now in UTC, written with strftime's format.
std::string UtcNow(const char* format);

// Reads folder/MANIFEST. Throws DataError when it is missing (a folder of sources, or an
// older fetch), malformed, or of another format than this program reads; the message says
// what to run.
DataSetRecord ReadDataSetRecord(const std::string& folder);

// Writes folder/MANIFEST under a temporary name, flushed, then renamed. Throws DataError.
void WriteDataSetRecord(const std::string& folder, const DataSetRecord& record);

// The day of the oldest source whose version tells when it was published (YYYY-MM-DD), from
// record source lines "name@version files..." whose version is a date ("20261206",
// "2026-12", "2026-12-06") or ends in one ("2.3.2026060513"); empty when none does.
std::string OldestSourceDate(const std::vector<std::string>& sources);

// The CRC-32 of a file's content. Throws DataError when it cannot be read.
std::uint32_t FileCrc32(const std::string& path);

// Each file the record names is there with its size; with checksums, also with its CRC-32,
// read only for files this process has not already found right unchanged since (same inode,
// size and change time), so that a reload reads just the files an update brought. Throws
// DataError naming the first that is not.
void CheckDataSetFiles(const std::string& folder, const DataSetRecord& record, bool checksums);

}  // namespace service
