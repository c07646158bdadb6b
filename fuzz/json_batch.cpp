// A batch for POST /json: any body. It is refused as a whole with 400 and an error object, or
// answered with 200 and one object per entry, in order; an entry is answered with its
// address or with an error of its own. Whatever the batch held, the answer is valid JSON.
#include "fuzz/Require.h"
#include "service/core/GeoData.h"
#include "service/http/JsonReplies.h"
#include "service/json/JsonBatch.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const service::GeoData fixtures(SERVICE_FIXTURES);
    const std::string_view body(reinterpret_cast<const char*>(data), size);

    const service::JsonReply reply = service::AnswerJsonBatch(fixtures, body);
    const nlohmann::json answer = nlohmann::json::parse(reply.body, nullptr, false);
    Require(!answer.is_discarded(), "the answer is JSON");
    if (reply.status == 400) {
        Require(answer.is_object() && answer.contains("error"), "a refusal is an error object");
        return 0;
    }
    Require(reply.status == 200, "a batch is answered with 200 or refused with 400");
    const auto texts = service::ReadBatch(body);
    Require(texts.size() <= service::kMaxBatchEntries, "no more entries than a batch may hold");
    Require(answer.is_array() && answer.size() == texts.size(), "one object per entry");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const nlohmann::json& entry = answer[i];
        Require(entry.is_object() && (entry.contains("error") || entry.contains("location")),
                "each entry is answered or refused on its own");
    }
    Require(service::ReadBatch(nlohmann::json(texts).dump()) == texts,
            "the entries written back as JSON read the same");
    return 0;
}
