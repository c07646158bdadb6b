#pragma once

#include "service/summary/ByteSources.h"

#include <zlib.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace summary {

// The lines of one input, plain or gzip-compressed (told from its first bytes, whatever its
// name), any number of gzip members one after the other. Memory stays bounded whatever the
// input: a line longer than kMaxLineLength is cut to that length and the rest of it dropped.
class LogLines {
public:
    static constexpr std::size_t kMaxLineLength = std::size_t{1} << 16;
    // Told how many more bytes were taken from the source (compressed ones where the input is).
    using ReadCounter = std::function<void(std::size_t)>;

    explicit LogLines(ByteSource& source, ReadCounter counter = {});
    ~LogLines();
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    // The next line without its line feed (nor the carriage return before one); nothing at
    // the end. The text stays valid until the next call. Throws InputError for an unreadable
    // source or damaged compressed data; the lines before the damage have been handed out.
    std::optional<std::string_view> Next();

private:
    // Appends more text to m_text; false at the end of the input.
    bool Fill();
    std::size_t ReadRaw(std::size_t offset);  // into m_raw from offset on
    void Inflate();

    ByteSource& m_source;
    ReadCounter m_counter;
    std::vector<char> m_raw;  // bytes as read
    std::string m_text;       // text not yet handed out starts at m_start
    std::size_t m_start = 0;
    bool m_started = false;
    bool m_ended = false;
    bool m_dropping = false;  // the rest of an over-long line is being dropped
    bool m_compressed = false;
    bool m_insideMember = false;
    std::string m_damage;  // why the compressed data cannot be read further, once known
    z_stream m_zlib{};
};

}  // namespace summary
