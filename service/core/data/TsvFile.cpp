#include "service/core/data/TsvFile.h"

#include "service/core/data/DataError.h"

#include <fstream>
#include <vector>

namespace service {

std::string ReadTableFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) throw DataError(path + ": cannot be opened");
    std::string text(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0);
    if (!file.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        throw DataError(path + ": read error");
    }
    return text;
}

void ForEachTableRow(std::string_view text, const std::string& path, std::size_t fieldCount,
                     const std::function<bool(std::span<const std::string_view>)>& row) {
    std::vector<std::string_view> fields;
    std::string_view rest = text;
    for (std::size_t lineNumber = 1; !rest.empty(); ++lineNumber) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        fields.clear();
        for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos;) {
            fields.push_back(line.substr(0, tab));
            line.remove_prefix(tab + 1);
        }
        fields.push_back(line);
        if (fields.size() != fieldCount || !row(fields)) {
            throw DataError(path + ":" + std::to_string(lineNumber) + ": malformed row (want " +
                            std::to_string(fieldCount) + " tab-separated fields)");
        }
    }
}

}  // namespace service
