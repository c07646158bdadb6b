#pragma once

#include <QByteArray>

#include <optional>

// What a JPEG's start-of-frame segment says about the picture.
struct JpegFrame {
    int marker = 0;  // 0xC0 baseline, 0xC1 extended, 0xC2 progressive, ...
    int precision = 0;
    int height = 0;
    int width = 0;
    int components = 0;
};

// Walks the marker segments up to the first start-of-frame; nullopt for a stream that is
// not a JPEG or ends first.
std::optional<JpegFrame> ReadJpegFrame(const QByteArray& jpeg);
