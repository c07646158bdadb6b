#include "client/HttpRequest.h"
#include "client/PageDecoding.h"
#include "codepage/CodePage936.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <optional>

namespace client {
namespace {

using namespace Qt::StringLiterals;

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    std::optional<QString> text;  // nullopt: the decoder fails
    int pumpCalls;                // calls made, up to the failure if there is one
};

QByteArray Repeated(const char* piece, int times) {
    return QByteArray(piece).repeated(times);
}

TEST(DecodeResponseBytes, DecodesPairByPairAndPumpsBeforeEveryThousandAndTwentyFourCharacters) {
    const DecodeCase cases[] = {
        {"empty", QByteArray(), QString(), 0},
        {"ASCII", "\x41\x42", u"AB"_s, 1},
        {"two Chinese characters", "\xc4\xe3\xba\xc3", u"你好"_s, 1},
        {"ASCII trail byte taken into the pair", "\xc4\x41", u"腁"_s, 1},
        {"NUL does not end the text", QByteArray("\x00\x41", 2), QStringView(u"\0A", 2).toString(),
         1},
        {"0x80 pairs with the next byte", "\x80\x41\x42", u"\u20acAB"_s, 1},
        {"0xFF pairs with the next byte", "\xff\x41", u"\uf8f5A"_s, 1},
        {"user-defined area", "\xaa\xa1", u"\ue000"_s, 1},
        {"lead byte last", "\x41\xc4", std::nullopt, 1},
        {"lone lead byte", "\xc4", std::nullopt, 1},
        {"1024 characters", Repeated("A", 1024), QString(1024, u'A'), 1},
        {"1025 characters", Repeated("A", 1025), QString(1025, u'A'), 2},
        {"a pair is one character", Repeated("\xc4\xe3", 1025), QString(1025, u'你'), 2},
        {"an invalid pair is one character", Repeated("\x81\x20", 2049),
         QString(u"\ufffd "_s).repeated(2049), 3},
        {"lead byte last after 2048 characters", Repeated("A", 2048) + "\xc4", std::nullopt, 3},
    };
    for (const DecodeCase& c : cases) {
        int calls = 0;
        const auto pump = [&calls] { ++calls; };
        if (c.text) {
            EXPECT_EQ(DecodeResponseBytes(c.bytes, pump), *c.text) << c.name;
        } else {
            EXPECT_THROW(DecodeResponseBytes(c.bytes, pump), LookupFailure) << c.name;
        }
        EXPECT_EQ(calls, c.pumpCalls) << c.name;
    }
}

TEST(DecodeResponseBytes, KeepsAsciiAsItIs) {
    for (int b = 0; b < 0x80; ++b) {
        const QByteArray bytes(1, static_cast<char>(b));
        EXPECT_EQ(DecodeResponseBytes(bytes, [] {}), QString(QChar(b))) << b;
        EXPECT_EQ(ConvertWholePage(bytes), QString(QChar(b))) << b;
    }
}

// Every GB2312 character, with ASCII between rows: both conversions agree on well-formed text.
QByteArray WellFormedPage() {
    QByteArray page;
    for (int lead = 0xb0; lead <= 0xf7; ++lead) {
        for (int trail = 0xa1; trail <= 0xfe; ++trail) {
            page.append(static_cast<char>(lead)).append(static_cast<char>(trail));
        }
        page.append("<br/>\r\n");
    }
    return page;
}

TEST(DecodeResponseBytes, AgreesWithTheWholePageOnWellFormedText) {
    const QByteArray page = WellFormedPage();
    EXPECT_EQ(DecodeResponseBytes(page, [] {}), ConvertWholePage(page));
}

TEST(DecodeResponseBytes, NeverChangesItsInput) {
    const QByteArray original("\x41\xc4\xe3\x00\xff\x41", 6);
    QByteArray bytes = original;
    bytes.detach();
    DecodeResponseBytes(bytes, [] {});
    EXPECT_EQ(bytes, original);
}

TEST(DecodeResponseBytes, AHandlerReplacingTheCallersArrayDoesNotDisturbIt) {
    QByteArray bytes("\xc4\xe3\x41\xba\xc3");
    const QString text = DecodeResponseBytes(bytes, [&bytes] { bytes = "\x5a\x5a\x5a\x5a\x5a"; });
    EXPECT_EQ(text, u"你A好"_s);
}

TEST(DecodeResponseBytes, ANestedDecodeFromThePumpLeavesTheOuterOneIntact) {
    QObject context;
    QString innerText;
    QMetaObject::invokeMethod(
        &context, [&innerText] { innerText = DecodeResponseBytes("\xba\xc3<li>x</li>"); },
        Qt::QueuedConnection);

    const QString outerText = DecodeResponseBytes("\xc4\xe3 <li>8.8.8.8</li>");

    EXPECT_EQ(innerText, u"好<li>x</li>"_s);  // it ran inside the outer decode
    EXPECT_EQ(outerText, u"你 <li>8.8.8.8</li>"_s);
}

struct WholePageCase {
    const char* name;
    QByteArray bytes;
    QString text;
};

TEST(ConvertWholePage, ConvertsEverythingAndNeverFails) {
    const WholePageCase cases[] = {
        {"empty", QByteArray(), QString()},
        {"two Chinese characters", "\xc4\xe3\xba\xc3", u"你好"_s},
        {"lead byte last", "\x41\xc4", u"A\ufffd"_s},
        {"lone 0x80 is the euro sign", "\x80", u"\u20ac"_s},
        {"lone 0xFF", "\xff", u"\uf8f5"_s},
        {"user-defined area", "\xaa\xa1\xa1\x40", u"\ue000\ue4c6"_s},
        {"invalid trail byte", "\x81\x20\x41", u"\ufffd A"_s},
        {"NUL inside", QByteArray("\x41\x00\x42", 3), QStringView(u"A\0B", 3).toString()},
    };
    for (const WholePageCase& c : cases) {
        EXPECT_EQ(ConvertWholePage(c.bytes), c.text) << c.name;
    }
}

TEST(EncodeCodePage936, RoundTripsThroughTheWholePageConversion) {
    const QByteArray page = WellFormedPage();
    EXPECT_EQ(ToCodePage936(ConvertWholePage(page)), page);
}

}  // namespace
}  // namespace client
