#include "TsvFile.h"

#include "DataError.h"

#include <fstream>
#include <vector>

namespace service {

void ReadTsvFile(const std::string& path, std::size_t fieldCount,
                 const std::function<bool(std::span<const std::string_view>)>& row) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw DataError(path + ": cannot be opened");
    std::string line;
    std::vector<std::string_view> fields;
    for (std::size_t lineNumber = 1; std::getline(file, line); ++lineNumber) {
        fields.clear();
        std::string_view rest = line;
        for (std::size_t tab; (tab = rest.find('\t')) != std::string_view::npos;) {
            fields.push_back(rest.substr(0, tab));
            rest.remove_prefix(tab + 1);
        }
        fields.push_back(rest);
        if (fields.size() != fieldCount || !row(fields)) {
            throw DataError(path + ":" + std::to_string(lineNumber) + ": malformed row (want " +
                            std::to_string(fieldCount) + " tab-separated fields)");
        }
    }
    if (file.bad()) throw DataError(path + ": read error");
}

}  // namespace service
