#pragma once

#include "GeoData.h"
#include "ProgressLine.h"

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace cli {

// Answers addresses one by one onto the output, as text or JSON lines; a text that is no
// address is reported on the error stream and skipped.
class LookupRun {
public:
    // progress may be null (no terminal).
    LookupRun(const service::GeoData& data, bool json, std::ostream& out, std::ostream& errors,
              ProgressLine* progress);

    void AnswerArgument(std::string_view text);

    // One address a line; surrounding white space is ignored, blank lines and lines whose
    // first other character is "#" are skipped. Returns false when reading failed.
    bool AnswerLines(std::istream& in);

    bool sawBadAddress() const { return m_sawBadAddress; }

private:
    // Writes the answer; false when the text is no address.
    bool Answer(std::string_view text);
    void ReportBad(const std::string& message);

    const service::GeoData& m_data;
    bool m_json;
    std::ostream& m_out;
    std::ostream& m_errors;
    ProgressLine* m_progress;
    std::string m_line;  // reused, so that a line costs no allocation
    bool m_sawBadAddress = false;
};

}  // namespace cli
