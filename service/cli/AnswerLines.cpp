#include "service/cli/AnswerLines.h"

#include "service/json/AnswerJson.h"

#include <string_view>

namespace cli {
namespace {

void AppendField(std::string& line, std::string_view value) {
    line += '\t';
    const std::size_t start = line.size();
    line += value;
    for (std::size_t i = start; i < line.size(); ++i) {
        if (line[i] == '\t' || line[i] == '\n' || line[i] == '\r') line[i] = ' ';
    }
}

}  // namespace

void AppendTextLine(std::string& line, std::string_view given,
                    const service::LookupAnswer& answer) {
    line += given;
    AppendField(line, answer.location.text);
    AppendField(line, answer.network.text);
    AppendField(line, answer.registeredCountry.text);
    line += '\n';
}

void AppendJsonLine(std::string& line, const service::IpAddress& address,
                    const service::LookupAnswer& answer) {
    service::AppendAnswerJson(line, service::FormatIpAddress(address), answer);
    line += '\n';
}

}  // namespace cli
