#include "tests/resources/JpegMarkers.h"

namespace {
int ByteAt(const QByteArray& data, qsizetype i) {
    return static_cast<unsigned char>(data[i]);
}

int Word(const QByteArray& data, qsizetype i) {
    return ByteAt(data, i) << 8 | ByteAt(data, i + 1);
}

bool IsStartOfFrame(int marker) {
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}
}  // namespace

std::optional<JpegFrame> ReadJpegFrame(const QByteArray& jpeg) {
    if (jpeg.size() < 4 || ByteAt(jpeg, 0) != 0xFF || ByteAt(jpeg, 1) != 0xD8) return std::nullopt;
    qsizetype at = 2;
    while (at + 4 <= jpeg.size()) {
        if (ByteAt(jpeg, at) != 0xFF) return std::nullopt;
        const int marker = ByteAt(jpeg, at + 1);
        const int length = Word(jpeg, at + 2);
        if (IsStartOfFrame(marker)) {
            if (at + 2 + 8 > jpeg.size()) return std::nullopt;
            return JpegFrame{marker, ByteAt(jpeg, at + 4), Word(jpeg, at + 5), Word(jpeg, at + 7),
                             ByteAt(jpeg, at + 9)};
        }
        at += 2 + length;
    }
    return std::nullopt;
}
