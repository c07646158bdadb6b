#include "service/json/JsonBatch.h"

#include <nlohmann/json.hpp>

namespace service {

std::vector<std::string> ReadBatch(std::string_view body) {
    const nlohmann::json batch = nlohmann::json::parse(body, nullptr, false);
    if (batch.is_discarded()) throw BadBatch("请求不是有效的JSON");
    if (!batch.is_array()) throw BadBatch("请求须为IP地址字符串的数组");
    if (batch.size() > kMaxBatchEntries) {
        throw BadBatch("每次最多查询" + std::to_string(kMaxBatchEntries) + "个地址");
    }
    std::vector<std::string> texts;
    texts.reserve(batch.size());
    for (const nlohmann::json& entry : batch) {
        if (!entry.is_string()) throw BadBatch("请求须为IP地址字符串的数组");
        texts.push_back(entry.get<std::string>());
    }
    return texts;
}

}  // namespace service
