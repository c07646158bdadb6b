#pragma once

#include "service/core/GeoData.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace service {

// What 1,000 addresses need as a JSON array, even written one per line with indentation,
// with room to spare; the batch path accepts bodies up to this size.
inline constexpr std::size_t kMaxBatchBody = 64 * 1024;

inline constexpr char kJsonType[] = "application/json; charset=utf-8";

// An answer of the JSON paths: status and UTF-8 body.
struct JsonReply {
    int status = 200;
    std::string body;
};

// One address (GET /json?ip=ADDR, or the caller's address): 200 with its object, 400 with
// the error object when the text is no address.
JsonReply AnswerJsonAddress(const GeoData& data, std::string_view text);

// The caller's own address (GET /json): as AnswerJsonAddress for an IP address of either
// family; a peer that is no IP address (a local socket) gets 200 with an object that knows
// nothing about it.
JsonReply AnswerJsonCaller(const GeoData& data, std::string_view caller);

// A batch (POST /json): 200 with an array of objects in the order asked, an error object in
// the place of each bad entry; 400 with {"error": why} when the body is refused as a whole.
JsonReply AnswerJsonBatch(const GeoData& data, std::string_view body);

// {"error": message} with the given status, for refusals made before any lookup.
JsonReply JsonError(int status, std::string_view message);

}  // namespace service
