#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace lookup {

// One ICU converter for code page 936 ("windows-936"), whatever the process locale. Each
// conversion gets its own, so a decode that yields to other handlers never shares
// converter state with a decode they start.
class CodePage936 {
public:
    CodePage936();
    ~CodePage936();
    CodePage936(const CodePage936&) = delete;
    CodePage936& operator=(const CodePage936&) = delete;

    // Appends what the code page gives for these bytes, converted as one complete text:
    // invalid and truncated sequences become U+FFFD.
    void appendDecoded(const char* bytes, qsizetype count, QString& text);
    // Characters the code page cannot hold become '?'.
    QByteArray encode(const QString& text);

private:
    struct Converter;
    std::unique_ptr<Converter> m_converter;
};

}  // namespace lookup
