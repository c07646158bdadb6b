#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace service {

inline constexpr std::size_t kMaxBatchEntries = 1000;

// A batch body that is refused as a whole; what() is the text the client gets.
class BadBatch : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The address texts of a batch body: a JSON array of at most kMaxBatchEntries strings, in
// their order. The strings themselves are not checked here: a bad address is answered in
// its place. Throws BadBatch for text that is no JSON, another type, or too many entries.
std::vector<std::string> ReadBatch(std::string_view body);

}  // namespace service
