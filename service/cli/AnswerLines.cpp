#include "service/cli/AnswerLines.h"

#include "service/json/AnswerJson.h"

#include <string_view>

namespace cli {
namespace {

// A field's tabs and line ends become spaces, so that a line stays a line of fields.
void AppendField(std::string& line, std::string_view value) {
    line += '\t';
    const std::size_t start = line.size();
    line += value;
    for (std::size_t at = start; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '\t' || c == '\n' || c == '\r') line[at] = ' ';
    }
}

}  // namespace

void AppendTextLine(std::string& line, std::string_view given, service::AnswerView answer) {
    line += given;
    AppendField(line, answer.location.text);
    AppendField(line, answer.network.text);
    AppendField(line, answer.registeredCountry.text);
    line += '\n';
}

void AppendJsonLine(std::string& line, const service::IpAddress& address,
                    service::AnswerView answer) {
    service::AppendAnswerJson(line, service::FormatIpAddress(address), answer);
    line += '\n';
}

}  // namespace cli
