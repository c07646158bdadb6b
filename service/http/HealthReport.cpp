#include "service/http/HealthReport.h"

namespace service {

std::string HealthText(const DataSetRecord& record) {
    std::string text = "ok\nmade " + record.made + "\npublished " +
                       (record.published.empty() ? "unknown" : record.published) + "\n";
    for (const std::string& source : record.sources) text += "source " + source + "\n";
    return text;
}

}  // namespace service
