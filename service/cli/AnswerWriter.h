#pragma once

#include "service/cli/ProgressLine.h"
#include "service/core/GeoData.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Answers addresses onto the output in the order given, as text or JSON lines; a text that
// is no address is reported on the error stream and skipped.
//
// Addresses are answered in batches, sorted by address and shared out among the processor
// cores: neighbouring addresses walk the same parts of the databases, which are then still
// in the cache, and a repeated address is looked up once. Each share has a memo of its
// own, kept from batch to batch. A batch ends when it is full and
// whenever more input would have to be waited for, so answers never wait for input that has
// not come yet.
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
    // Each pending address with its place in the batch, address first, so that sorting
    // sorts by family and address.
    struct Pending {
        service::IpAddress address;
        std::uint32_t place;

        bool operator<(const Pending& other) const {
            return address != other.address ? address < other.address : place < other.place;
        }
    };

    void Add(const service::IpAddress& address, std::string_view given);
    void AnswerKeys(std::size_t first, std::size_t end, service::AnswerMemo& memo);
    void ReportBad(const std::string& message);

    const service::GeoData& m_data;
    bool m_json;
    std::ostream& m_out;
    std::ostream& m_errors;
    ProgressLine* m_progress;
    std::vector<Pending> m_pending;
    // By place in the batch, kept to reuse their memory: each address as given (the text
    // lines echo it) and its line.
    std::vector<std::string> m_given;
    std::vector<std::string> m_lines;
    std::vector<service::AnswerMemo> m_memos;  // one for each share of a batch
    bool m_sawBadAddress = false;
};

}  // namespace cli
