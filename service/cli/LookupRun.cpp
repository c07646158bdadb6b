#include "LookupRun.h"

#include "AddressFacts.h"
#include "AnswerLines.h"
#include "Ipv4Address.h"

namespace cli {
namespace {

constexpr std::string_view kSpace = " \t\r\v\f";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

}  // namespace

LookupRun::LookupRun(const service::GeoData& data, bool json, std::ostream& out,
                     std::ostream& errors, ProgressLine* progress)
    : m_data(data), m_json(json), m_out(out), m_errors(errors), m_progress(progress) {}

void LookupRun::AnswerArgument(std::string_view text) {
    if (!Answer(text)) ReportBad("\"" + std::string(text) + "\" is not an IPv4 address");
}

bool LookupRun::AnswerLines(std::istream& in) {
    std::string input;
    std::size_t lineNumber = 0;
    while (std::getline(in, input)) {
        ++lineNumber;
        const std::string_view text = Trimmed(input);
        if (text.empty() || text.front() == '#') continue;
        if (!Answer(text)) {
            ReportBad("line " + std::to_string(lineNumber) + ": not an IPv4 address");
        }
    }
    return !in.bad();
}

bool LookupRun::Answer(std::string_view text) {
    const auto address = service::ParseIpv4(text);
    if (!address) return false;
    m_line.clear();
    if (m_json) {
        AppendJsonLine(m_line, *address, service::FactsOf(m_data, *address));
    } else {
        AppendTextLine(m_line, *address, m_data.Answer(*address));
    }
    m_out.write(m_line.data(), static_cast<std::streamsize>(m_line.size()));
    if (m_progress != nullptr) m_progress->Count();
    return true;
}

void LookupRun::ReportBad(const std::string& message) {
    m_sawBadAddress = true;
    if (m_progress != nullptr) m_progress->Wipe();
    m_errors << "wherix-lookup: " << message << '\n';
}

}  // namespace cli
