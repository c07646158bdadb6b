#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace summary {

// The text as every output (a terminal, a spreadsheet, a parser of the report) can take it:
// each ill-formed UTF-8 sequence replaced by U+FFFD, each control character (line breaks,
// tabs, escapes) by a space, so that a name stays one line of text.
std::string ShownText(std::string_view text);

// How many terminal columns valid UTF-8 text takes: two for each wide or full-width
// character (Chinese ones), none for a combining mark, one for anything else.
std::size_t DisplayWidth(std::string_view text);

}  // namespace summary
