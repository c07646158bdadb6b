#include "service/update/TarReader.h"

#include "service/update/UpdateError.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace update {
namespace {

constexpr std::size_t kBlock = 512;
constexpr std::size_t kPiece = 64 * 1024;  // bodies are read in pieces this large
// A long name or a pax header is read whole; no sound archive needs more.
constexpr std::uint64_t kMaxMetadata = 64 * 1024;

using Block = std::array<char, kBlock>;

// A header field, up to its first NUL.
std::string_view Field(const Block& block, std::size_t offset, std::size_t length) {
    const std::string_view field(block.data() + offset, length);
    return field.substr(0, field.find('\0'));
}

// An octal number as tar writes it: optional leading spaces, digits, then NULs or spaces.
std::optional<std::uint64_t> Octal(const Block& block, std::size_t offset, std::size_t length) {
    std::string_view field(block.data() + offset, length);
    const std::size_t first = field.find_first_not_of(' ');
    field.remove_prefix(std::min(first, field.size()));
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; digits < field.size() && field[digits] >= '0' && field[digits] <= '7'; ++digits) {
        if (value > (UINT64_MAX >> 3)) return std::nullopt;
        value = value * 8 + static_cast<std::uint64_t>(field[digits] - '0');
    }
    for (const char rest : field.substr(digits)) {
        if (rest != '\0' && rest != ' ') return std::nullopt;
    }
    return value;
}

bool IsZero(const Block& block) {
    return std::all_of(block.begin(), block.end(), [](char c) { return c == '\0'; });
}

// The sum of the header's bytes with its own checksum field read as spaces.
std::uint64_t Checksum(const Block& block) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        sum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(block[i]);
    }
    return sum;
}

bool IsSafePath(std::string_view path) {
    if (path.empty() || path.front() == '/') return false;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        if (path.substr(0, slash) == "..") return false;
        path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    }
    return true;
}

// The "path" record of a pax extended header ("LENGTH path=VALUE\n" records), if any.
std::optional<std::string> PaxPath(std::string_view records) {
    std::optional<std::string> path;
    while (!records.empty()) {
        std::size_t length = 0;
        std::size_t digits = 0;
        for (; digits < records.size() && records[digits] >= '0' && records[digits] <= '9';
             ++digits) {
            length = length * 10 + static_cast<std::size_t>(records[digits] - '0');
            if (length > records.size()) break;
        }
        if (digits == 0 || length <= digits + 1 || length > records.size() ||
            records[digits] != ' ' || records[length - 1] != '\n') {
            throw UpdateError("a damaged pax header");
        }
        const std::string_view record = records.substr(digits + 1, length - digits - 2);
        if (record.starts_with("path=")) path = std::string(record.substr(5));
        records.remove_prefix(length);
    }
    return path;
}

}  // namespace

TarReader::TarReader(std::string name, Source source)
    : m_name(std::move(name)), m_source(std::move(source)) {}

void TarReader::Fail(const std::string& why) const {
    throw UpdateError("cannot read the archive " + m_name + ": " + why);
}

void TarReader::ReadExactly(char* buffer, std::size_t size) {
    while (size > 0) {
        const std::size_t got = m_source(buffer, size);
        if (got == 0) Fail("it ends early");
        buffer += got;
        size -= got;
    }
}

void TarReader::Skip(std::uint64_t size) {
    ReadPieces(size, [](std::string_view) {});
}

void TarReader::ReadPieces(std::uint64_t size,
                           const std::function<void(std::string_view)>& consume) {
    std::string piece(static_cast<std::size_t>(std::min<std::uint64_t>(size, kPiece)), '\0');
    while (size > 0) {
        const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size, kPiece));
        ReadExactly(piece.data(), length);
        size -= length;
        consume(std::string_view(piece.data(), length));
    }
}

void TarReader::SkipPadding(std::uint64_t size) {
    Skip((kBlock - size % kBlock) % kBlock);
}

std::string TarReader::ReadSmallBody(std::uint64_t size) {
    if (size > kMaxMetadata)
        Fail("a long name or pax header of " + std::to_string(size) + " bytes");
    std::string body(static_cast<std::size_t>(size), '\0');
    ReadExactly(body.data(), body.size());
    SkipPadding(size);
    return body;
}

std::optional<TarReader::Entry> TarReader::Next() {
    Skip(m_remaining + m_padding);
    m_remaining = m_padding = 0;
    std::optional<std::string> longPath;
    while (!m_ended) {
        Block header;
        ReadExactly(header.data(), header.size());
        if (IsZero(header)) {
            m_ended = true;
            break;
        }
        const std::optional<std::uint64_t> checksum = Octal(header, 148, 8);
        if (!checksum || *checksum != Checksum(header)) Fail("a header's checksum is wrong");
        const std::string_view magic(header.data() + 257, 6);
        if (!magic.starts_with("ustar")) Fail("not a ustar archive");
        const std::optional<std::uint64_t> size = Octal(header, 124, 12);
        if (!size) Fail("a header's size is not an octal number");

        // POSIX ustar splits a long path into a prefix and a name; GNU tar uses the prefix's
        // place for other things.
        std::string path(Field(header, 0, 100));
        if (magic == std::string_view("ustar\0", 6)) {
            if (const std::string_view prefix = Field(header, 345, 155); !prefix.empty()) {
                path = std::string(prefix) + '/' + path;
            }
        }
        const char type = header[156];
        if (type == 'L') {
            const std::string body = ReadSmallBody(*size);
            longPath = body.substr(0, body.find('\0'));
            continue;
        }
        if (type == 'x') {
            try {
                if (auto paxPath = PaxPath(ReadSmallBody(*size))) longPath = std::move(paxPath);
            } catch (const UpdateError& error) {
                Fail(error.what());
            }
            continue;
        }
        if (longPath) path = *std::exchange(longPath, std::nullopt);
        if (!IsSafePath(path)) Fail("the entry \"" + path + "\" points outside the archive");

        // Contiguous files ('7') are regular files to every reader but a few old systems.
        if (type == '0' || type == '\0' || type == '7') {
            m_remaining = *size;
            m_padding = (kBlock - *size % kBlock) % kBlock;
            return Entry{path, *size};
        }
        Skip(*size);
        SkipPadding(*size);
    }
    return std::nullopt;
}

void TarReader::ReadBody(const std::function<void(std::string_view)>& consume) {
    ReadPieces(std::exchange(m_remaining, 0), consume);
}

}  // namespace update
