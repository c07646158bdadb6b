#pragma once

#include <stdexcept>

namespace service {

// A database file that is missing, unreadable or not in the expected format.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace service
