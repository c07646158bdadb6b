#include "service/summary/DataSources.h"

#include <algorithm>
#include <sstream>

namespace summary {
namespace {

void AddSource(std::vector<DataSource>& files, const std::string& line) {
    std::istringstream words(line);
    std::string source;
    if (!(words >> source)) return;
    // A note in brackets after the package belongs to it.
    std::string word;
    bool inNote = false;
    while (words >> word) {
        if (inNote || word.front() == '(') {
            source.append(" ").append(word);
            inNote = word.back() != ')';
            continue;
        }
        const auto known = std::find_if(files.begin(), files.end(),
                                        [&](const DataSource& s) { return s.file == word; });
        if (known == files.end()) {
            files.push_back({word, source});
        } else {
            known->source.append("; ").append(source);
        }
    }
}

}  // namespace

DataSources SourcesOf(const service::DataSetRecord& record) {
    DataSources sources;
    sources.made = record.made;
    for (const std::string& line : record.sources) AddSource(sources.files, line);
    return sources;
}

}  // namespace summary
