#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>

// Code page 936 (GBK), the code page of the lookup service's pages and of the button
// captions, through ICU's "windows-936" converter whatever the process locale is.
//
// One converter per object: a conversion that yields to other handlers never shares
// converter state with one they start. The constructor throws std::runtime_error when
// ICU has no such converter.
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
    QByteArray encode(QStringView text);

private:
    struct Converter;
    std::unique_ptr<Converter> m_converter;
};

// One-off conversions with a converter of their own.
QString FromCodePage936(QByteArrayView bytes);
QByteArray ToCodePage936(QStringView text);
