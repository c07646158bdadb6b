#include "service/http/JsonReplies.h"

#include "service/core/IpAddress.h"
#include "service/json/AnswerJson.h"
#include "service/json/JsonBatch.h"

namespace service {
namespace {

JsonReply Reply(int status, const Json& value) {
    return JsonReply{status, JsonText(value) + "\n"};
}

}  // namespace

JsonReply AnswerJsonAddress(const GeoData& data, std::string_view text) {
    const Json object = LookupObject(data, text);
    return Reply(object.contains("error") ? 400 : 200, object);
}

JsonReply AnswerJsonCaller(const GeoData& data, std::string_view caller) {
    if (ParseIpAddress(caller)) return AnswerJsonAddress(data, caller);
    return Reply(200, AnswerObject(caller, UniformAnswer(kUnknownText)));
}

JsonReply AnswerJsonBatch(const GeoData& data, std::string_view body) {
    std::vector<std::string> texts;
    try {
        texts = ReadBatch(body);
    } catch (const BadBatch& refusal) {
        return JsonError(400, refusal.what());
    }
    Json answers = Json::array();
    for (const std::string& text : texts) answers.push_back(LookupObject(data, text));
    return Reply(200, answers);
}

JsonReply JsonError(int status, std::string_view message) {
    return Reply(status, Json{{"error", message}});
}

}  // namespace service
