#include "service/summary/DataSources.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace summary {
namespace {

constexpr char kSourcesFile[] = "SOURCES";

}  // namespace

std::vector<DataSource> ReadDataSources(const std::string& folder) {
    std::vector<DataSource> sources;
    std::ifstream in(folder + "/" + kSourcesFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string source;
        if (!(words >> source)) continue;
        // A note in brackets after the package belongs to it.
        std::string word;
        bool inNote = false;
        while (words >> word) {
            if (inNote || word.front() == '(') {
                source.append(" ").append(word);
                inNote = word.back() != ')';
                continue;
            }
            const auto known = std::find_if(sources.begin(), sources.end(),
                                            [&](const DataSource& s) { return s.file == word; });
            if (known == sources.end()) {
                sources.push_back({word, source});
            } else {
                known->source.append("; ").append(source);
            }
        }
    }
    return sources;
}

}  // namespace summary
