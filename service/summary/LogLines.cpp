#include "service/summary/LogLines.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace summary {
namespace {

// Bytes read from the source, and text inflated, at a time.
constexpr std::size_t kBlock = std::size_t{1} << 18;
constexpr unsigned char kGzipMagic[] = {0x1f, 0x8b};
// zlib's window bits for gzip members only, with the largest window.
constexpr int kGzipWindowBits = 16 + MAX_WBITS;

}  // namespace

LogLines::LogLines(ByteSource& source, ReadCounter counter)
    : m_source(source), m_counter(std::move(counter)), m_raw(kBlock) {}

LogLines::~LogLines() {
    if (m_compressed) inflateEnd(&m_zlib);
}

std::optional<std::string_view> LogLines::Next() {
    while (true) {
        const std::string_view rest = std::string_view(m_text).substr(m_start);
        const std::size_t end = rest.find('\n');
        const bool lastLine = end == std::string_view::npos && m_ended && !rest.empty();
        if (end == std::string_view::npos && rest.size() >= kMaxLineLength) {
            // The start of an over-long line is handed out, the rest of it dropped.
            m_start = m_text.size();
            if (std::exchange(m_dropping, !m_ended)) continue;
            return rest.substr(0, kMaxLineLength);
        }
        if (end != std::string_view::npos || lastLine) {
            m_start += lastLine ? rest.size() : end + 1;
            if (std::exchange(m_dropping, false)) continue;
            const std::string_view line = rest.substr(0, std::min(rest.size(), end));
            if (line.size() > kMaxLineLength) return line.substr(0, kMaxLineLength);
            return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
        }
        if (m_ended) return std::nullopt;
        m_ended = !Fill();
    }
}

bool LogLines::Fill() {
    if (!m_damage.empty()) throw InputError(m_damage);
    m_text.erase(0, m_start);
    m_start = 0;
    if (!m_started) {
        m_started = true;
        // Enough bytes to tell the format, however the source hands them out.
        std::size_t count = 0;
        while (count < sizeof kGzipMagic) {
            const std::size_t more = ReadRaw(count);
            if (more == 0) break;
            count += more;
        }
        m_compressed = count >= sizeof kGzipMagic &&
                       std::memcmp(m_raw.data(), kGzipMagic, sizeof kGzipMagic) == 0;
        if (!m_compressed) {
            m_text.append(m_raw.data(), count);
            return count > 0;
        }
        if (inflateInit2(&m_zlib, kGzipWindowBits) != Z_OK) throw std::bad_alloc();
        m_zlib.next_in = reinterpret_cast<Bytef*>(m_raw.data());
        m_zlib.avail_in = static_cast<uInt>(count);
    }
    if (!m_compressed) {
        const std::size_t count = ReadRaw(0);
        m_text.append(m_raw.data(), count);
        return count > 0;
    }
    if (m_zlib.avail_in == 0) {
        const std::size_t count = ReadRaw(0);
        if (count == 0) {
            if (m_insideMember) throw InputError("damaged gzip data: it ends too early");
            return false;
        }
        m_zlib.next_in = reinterpret_cast<Bytef*>(m_raw.data());
        m_zlib.avail_in = static_cast<uInt>(count);
    }
    Inflate();
    return true;
}

std::size_t LogLines::ReadRaw(std::size_t offset) {
    const std::size_t count = m_source.Read(m_raw.data() + offset, m_raw.size() - offset);
    if (m_counter && count > 0) m_counter(count);
    return count;
}

void LogLines::Inflate() {
    // Another member may follow the end of one (as from "cat a.gz b.gz").
    if (!m_insideMember) {
        inflateReset(&m_zlib);
        m_insideMember = true;
    }
    // One block of text at most, so that a small input that inflates to a great deal
    // never sits in memory all at once.
    const std::size_t old = m_text.size();
    m_text.resize(old + kBlock);
    m_zlib.next_out = reinterpret_cast<Bytef*>(m_text.data() + old);
    m_zlib.avail_out = static_cast<uInt>(kBlock);
    const int status = inflate(&m_zlib, Z_NO_FLUSH);
    m_text.resize(m_text.size() - m_zlib.avail_out);
    if (status == Z_STREAM_END) {
        m_insideMember = false;
    } else if (status != Z_OK && status != Z_BUF_ERROR) {
        // The text inflated before the damage is still handed out, line by line.
        m_damage = std::string("damaged gzip data: ") +
                   (m_zlib.msg != nullptr ? m_zlib.msg : "cannot inflate");
    }
}

}  // namespace summary
