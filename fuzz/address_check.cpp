// The address box: any text, tidied and checked as the program does before it posts a
// query. The service parses the posted address with its own reader, so both must accept
// exactly the same texts, or a query the program lets through comes back as invalid.
#include "fuzz/Require.h"
#include "input/AddressCheck.h"
#include "service/core/Ipv4Address.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool IsAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) return false;
    }
    return true;
}

void CheckTidying(const QString& typed) {
    const QString trimmed = TrimSpaces(typed);
    Require(!trimmed.startsWith(u' ') && !trimmed.endsWith(u' '), "no space left at either end");
    Require(typed.contains(trimmed), "trimming only cuts off the ends");

    const QString normalised = NormaliseAddress(typed);
    Require(normalised == ReplaceTrailingWildcard(trimmed), "the two rules in order");
    Require(normalised.size() == trimmed.size(), "the wildcard rule keeps the length");
    Require(normalised.chopped(normalised.isEmpty() ? 0 : 1) ==
                trimmed.chopped(trimmed.isEmpty() ? 0 : 1),
            "the wildcard rule changes only the last character");
    Require(!normalised.endsWith(u'*'), "no last wildcard is left");
    Require(NormaliseAddress(normalised) == normalised, "tidying twice changes nothing more");
}

void CheckValidity(const QString& text) {
    const bool valid = IsValidAddress(text);
    if (!IsAscii(text)) {
        Require(!valid, "only ASCII text is an address");
        return;
    }
    const std::string bytes = text.toStdString();
    const auto parsed = service::ParseIpv4(bytes);
    Require(valid == parsed.has_value(), "the program and the service accept the same texts");
    if (!parsed) return;
    const std::string canonical = service::FormatIpv4(*parsed);
    Require(IsValidAddress(QString::fromStdString(canonical)), "the canonical form is valid");
    Require(service::ParseIpv4(canonical) == parsed, "the canonical form reads back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString typed =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckTidying(typed);
    CheckValidity(typed);
    CheckValidity(NormaliseAddress(typed));
    return 0;
}
