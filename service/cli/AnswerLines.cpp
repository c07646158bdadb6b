#include "service/cli/AnswerLines.h"

#include "service/json/AnswerJson.h"

#include <string_view>

namespace cli {
namespace {

// A field's tabs and line ends become spaces, so that a line stays a line of fields. They
// are rare: looking for each with memchr costs less than looking at every byte once.
void AppendField(std::string& line, std::string_view value) {
    line += '\t';
    const std::size_t start = line.size();
    line += value;
    for (const char breaker : {'\t', '\n', '\r'}) {
        for (std::size_t at = line.find(breaker, start); at != std::string::npos;
             at = line.find(breaker, at + 1)) {
            line[at] = ' ';
        }
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
