#pragma once

#include <stdexcept>

namespace update {

// A step of a data update that failed; the message names what and why. The set in use is
// never touched before every step has succeeded.
class UpdateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace update
