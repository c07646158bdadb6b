#include "skin/ButtonCaption.h"

#include "codepage/CodePage936.h"

namespace {

// GBK lead bytes; every other byte is a character of its own.
bool IsLeadByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x81 && value <= 0xFE;
}

}  // namespace

QByteArray CaptionBytes(QStringView text) {
    QByteArray bytes = ToCodePage936(text);
    // Only a walk from the start tells lead from trail bytes: GBK trail bytes share
    // the lead-byte range.
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype next = end + (IsLeadByte(bytes[end]) ? 2 : 1);
        if (next > kMaxCaptionBytes) break;
        end = next;
    }
    bytes.truncate(end);
    return bytes;
}
