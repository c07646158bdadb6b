#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace service {

// Reads a generated table: UTF-8 lines of tab-separated fields, each with exactly the
// given number of fields (the last may be empty). Calls the row handler for each line;
// a handler that finds a field malformed returns false.
// Throws DataError naming the file, and the line of the first malformed row.
void ReadTsvFile(const std::string& path, std::size_t fieldCount,
                 const std::function<bool(std::span<const std::string_view>)>& row);

}  // namespace service
