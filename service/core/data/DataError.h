#pragma once

#include <stdexcept>
#include <string>

namespace service {

// A database file that is missing, unreadable or not in the expected format.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the programs that read the data folder tell their user when it cannot be loaded,
// after their name: the reason and how to get the databases, ended by a line feed.
inline std::string DataErrorAdvice(const DataError& error, const std::string& folder) {
    return std::string("the databases are missing or damaged: ") + error.what() +
           "\nMake a data set with: scripts/fetch-geodata " + folder +
           " (make geodata), or install the lokaro-geodata package of this version\n"
           "(or point --data at the folder that holds one)\n";
}

}  // namespace service
