#pragma once

#include "service/core/IpAddress.h"
#include "service/core/LookupAnswer.h"

#include <string>
#include <string_view>

namespace cli {

// Appends the text line of an answer: the address as it was given, location, network and
// registered country, separated by tabs and ended by a line feed. A tab or line break inside
// a value becomes a space, so that every answer stays one line of four fields.
void AppendTextLine(std::string& line, std::string_view given, service::AnswerView answer);

// Appends the JSON Lines line of an answer: the service's JSON object, with the address in its
// canonical form, ended by a line feed.
void AppendJsonLine(std::string& line, const service::IpAddress& address,
                    service::AnswerView answer);

}  // namespace cli
