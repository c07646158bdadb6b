// Lines of a log as wherix-lookup --summary --extract reads them: any bytes, plain or gzip,
// split into lines, each searched for its first address. Whatever the extractor finds must
// be an address the line holds, and must be found again in its canonical form alone and
// amid other words.
#include "fuzz/Require.h"
#include "service/core/IpAddress.h"
#include "service/summary/AddressExtractor.h"
#include "service/summary/ByteSources.h"
#include "service/summary/LogLines.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The bytes handed out in pieces of varying size, as a pipe would.
class PiecesSource : public summary::ByteSource {
public:
    explicit PiecesSource(std::string_view bytes) : m_bytes(bytes) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t piece = 1 + (m_reads++ * 7919) % 4096;
        const std::size_t count = std::min({size, piece, m_bytes.size()});
        std::copy_n(m_bytes.data(), count, buffer);
        m_bytes.remove_prefix(count);
        return count;
    }

private:
    std::string_view m_bytes;
    std::size_t m_reads = 0;
};

bool HoldsAddress(std::string_view line, const service::IpAddress& address) {
    for (std::size_t first = 0; first < line.size(); ++first) {
        for (std::size_t length = 1; length <= 64 && first + length <= line.size(); ++length) {
            if (service::ParseIpAddress(line.substr(first, length)) == address) return true;
        }
    }
    return false;
}

void CheckLine(std::string_view line) {
    const auto found = summary::FindAddress(line);
    if (!found) return;
    if (line.size() <= 512) Require(HoldsAddress(line, *found), "the address is in the line");
    const std::string canonical = service::FormatIpAddress(*found);
    Require(summary::FindAddress(canonical) == found, "the canonical form alone is found");
    Require(summary::FindAddress("from " + canonical + ", port 22") == found,
            "the canonical form amid words is found");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckLine(bytes);
    PiecesSource source(bytes);
    summary::LogLines lines(source);
    try {
        while (const auto line = lines.Next()) {
            Require(line->size() <= summary::LogLines::kMaxLineLength, "lines are bounded");
            Require(line->find('\n') == std::string_view::npos, "a line holds no line feed");
            CheckLine(*line);
        }
    } catch (const summary::InputError&) {
        // Damaged compressed input: reported to the user, not a fault.
    }
    return 0;
}
