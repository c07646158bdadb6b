#pragma once

#include <chrono>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace update {

enum class SourceKind { kDbip, kNpm };

struct UpdateOptions {
    SourceKind source = SourceKind::kDbip;
    std::string store;          // the store of sets it keeps
    std::string from;           // a set to start from while the store has none; may be empty
    std::string mirror;         // fetch https://HOST/PATH from MIRROR/HOST/PATH
    std::string registry;       // npm registry; empty: the one npm is configured with
    std::string reloadCommand;  // run through /bin/sh after a set is put in use
    std::chrono::milliseconds wait{std::chrono::minutes(5)};  // for another run's lock
    bool json = false;
    bool rollback = false;
    bool showHelp = false;
    bool showVersion = false;
};

class UpdateUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Throws UpdateUsageError for an unknown
// option, a missing or bad value, or an argument that is no option.
UpdateOptions ParseUpdateOptions(std::span<const std::string_view> arguments);

std::string UpdateUsageText();

}  // namespace update
