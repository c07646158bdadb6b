#pragma once

#include "service/core/LookupAnswer.h"

#include <cstdint>
#include <string>

namespace cli {

// Appends the text line of an answer: address, location, network and registered country,
// separated by tabs and ended by a line feed. A tab or line break inside a value becomes a
// space, so that every answer stays one line of four fields.
void AppendTextLine(std::string& line, std::uint32_t address, const service::LookupAnswer& answer);

// Appends the JSON Lines line of an answer: the service's JSON object, ended by a line feed.
void AppendJsonLine(std::string& line, std::uint32_t address, const service::LookupAnswer& answer);

}  // namespace cli
