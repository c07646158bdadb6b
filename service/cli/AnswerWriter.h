#pragma once

#include "service/cli/ProgressLine.h"
#include "service/core/GeoData.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace cli {

// Answers addresses onto the output in the order given, as text or JSON lines; a text that
// is no address is reported on the error stream and skipped.
//
// Addresses are answered in batches, shared out among the processor cores in runs of
// places, each run sorted by address: neighbouring addresses walk the same parts of the
// databases, which are then still in the cache, and a repeated address is looked up once.
// Each share has a memo of its own, kept from batch to batch. A batch ends when it is full
// and whenever more input would have to be waited for, so answers never wait for input that
// has not come yet.
class AnswerWriter {
public:
    // progress may be null (no terminal).
    AnswerWriter(const service::GeoData& data, bool json, std::ostream& out, std::ostream& errors,
                 ProgressLine* progress);

    void AnswerArgument(std::string_view text);

    // One address a line; surrounding white space is ignored, blank lines and lines whose
    // first other character is "#" are skipped. A line longer than 64 KiB is reported as
    // bad and skipped without being held whole. Returns false when reading failed.
    bool AnswerLines(std::istream& in);

    // Writes the answers still pending; call before looking at the output.
    void Finish();

    bool sawBadAddress() const { return m_sawBadAddress; }

private:
    // Each pending address with its place in the batch, as plain numbers, which sort
    // faster than the address itself. An IPv4 address a.b.c.d and the IPv6 address
    // ::a.b.c.d sort among each other, and are told apart by SameAddress.
    struct Pending {
        explicit Pending(const service::IpAddress& address, std::uint32_t place);

        bool operator<(const Pending& other) const {
            return std::tie(high, low, place) < std::tie(other.high, other.low, other.place);
        }
        bool SameAddress(const Pending& other) const {
            return family == other.family && high == other.high && low == other.low;
        }
        service::IpAddress Address() const;

        std::uint64_t high;  // IPv6: the upper half
        std::uint64_t low;   // IPv4: the address; IPv6: the lower half
        std::uint32_t place;
        std::uint32_t family;  // 0 IPv4, 1 IPv6
    };

    void Add(const service::IpAddress& address, std::string_view given);
    // What each thread of a batch keeps: its memo, from batch to batch, and its lines in the
    // order answered.
    struct Share {
        service::AnswerMemo memo;
        std::string lines;
    };

    void AnswerShare(std::size_t first, std::size_t end, Share& share);
    void ReportBad(const std::string& message);

    const service::GeoData& m_data;
    bool m_json;
    std::ostream& m_out;
    std::ostream& m_errors;
    ProgressLine* m_progress;
    std::vector<Pending> m_pending;
    // By place in the batch, kept to reuse their memory: each address as given (the text
    // lines echo it), and where its line is in its share's lines (start, length).
    std::vector<std::string> m_given;
    std::vector<std::pair<std::size_t, std::size_t>> m_lineSpans;
    std::vector<Share> m_shares;  // one for each thread of a batch
    bool m_sawBadAddress = false;
};

}  // namespace cli
