#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace update {

// Reads a tar archive (ustar, as npm packs packages; GNU long names and pax paths honoured)
// from a stream, one regular file at a time. Every header's checksum is checked; a damaged
// header, an archive cut short, or any entry whose path is absolute or climbs out with ".."
// is an UpdateError naming the archive.
class TarReader {
public:
    // Fills buffer with up to size bytes and returns how many; 0 only at the stream's end.
    using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

    struct Entry {
        std::string path;
        std::uint64_t size = 0;
    };

    TarReader(std::string name, Source source);

    // The next regular file, the rest of the one before skipped; nullopt after the archive's
    // end. Folders, links and other entries are passed over.
    std::optional<Entry> Next();
    // The current file's bytes, piece by piece.
    void ReadBody(const std::function<void(std::string_view)>& consume);

private:
    [[noreturn]] void Fail(const std::string& why) const;
    void ReadExactly(char* buffer, std::size_t size);
    void ReadPieces(std::uint64_t size, const std::function<void(std::string_view)>& consume);
    void Skip(std::uint64_t size);
    std::string ReadSmallBody(std::uint64_t size);
    void SkipPadding(std::uint64_t size);

    std::string m_name;
    Source m_source;
    std::uint64_t m_remaining = 0;  // of the current file's body
    std::uint64_t m_padding = 0;    // after it, up to the next header
    bool m_ended = false;
};

}  // namespace update
