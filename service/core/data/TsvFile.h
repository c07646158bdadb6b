#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace service {

// The whole content of a generated table file. Throws DataError when it cannot be read.
std::string ReadTableFile(const std::string& path);

// Goes through a generated table: UTF-8 lines of tab-separated fields, each with exactly
// the given number of fields (the last may be empty). Calls the row handler for each line
// with views into text; a handler that finds a field malformed returns false.
// Throws DataError naming the file (path) and the line of the first malformed row.
void ForEachTableRow(std::string_view text, const std::string& path, std::size_t fieldCount,
                     const std::function<bool(std::span<const std::string_view>)>& row);

}  // namespace service
