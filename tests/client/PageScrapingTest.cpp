#include "client/HttpRequest.h"
#include "client/PageScraping.h"

#include <gtest/gtest.h>

#include <optional>

namespace client {
namespace {

using namespace Qt::StringLiterals;

// Full-width colon, and the location marker's two Chinese characters plus that colon.
const QString kColon = QStringLiteral(u"：");
const QString kFrom = QStringLiteral(u"来自：");

struct FindCase {
    const char* name;
    qint32 start;
    QString text;
    QString marker;
    qint32 expected;
};

TEST(FindFrom, FindsTheFirstMarkerAtOrAfterStart) {
    const FindCase cases[] = {
        {"from the beginning", 1, u"abcabc"_s, u"bc"_s, 2},
        {"at the start position itself", 2, u"abcabc"_s, u"bc"_s, 2},
        {"skips an earlier one", 3, u"abcabc"_s, u"bc"_s, 5},
        {"none after start", 6, u"abcabc"_s, u"bc"_s, 0},
        {"start beyond the end", 7, u"abcabc"_s, u"c"_s, 0},
        {"start far beyond the end", 1000, u"abc"_s, u"a"_s, 0},
        {"empty text", 1, QString(), u"a"_s, 0},
        {"case-sensitive", 1, u"<LI>x"_s, u"<li>"_s, 0},
        {"ASCII colon is not the full-width one", 1, u"x:[1]"_s, kColon + u"["_s, 0},
        {"full-width colon found", 1, u"x"_s + kColon + u"[1]"_s, kColon + u"["_s, 2},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(FindFrom(c.start, c.text, c.marker), c.expected) << c.name;
    }
}

TEST(FindFrom, RejectsAStartBeforeTheText) {
    EXPECT_THROW(FindFrom(0, u"abc"_s, u"a"_s), LookupFailure);
    EXPECT_THROW(FindFrom(-5, u"abc"_s, u"a"_s), LookupFailure);
}

struct CutCase {
    const char* name;
    qint32 start;
    qint32 length;
    std::optional<QString> expected;  // nullopt: the cut fails
};

TEST(CutSpan, CutsAtMostLengthCharactersFromStart) {
    const QString text = u"abcdef"_s;
    const CutCase cases[] = {
        {"inside", 2, 3, u"bcd"_s},
        {"shortened at the end", 5, 10, u"ef"_s},
        {"whole text", 1, 6, u"abcdef"_s},
        {"zero length", 1, 0, QString()},
        {"start just beyond the end", 7, 1, QString()},
        {"start far beyond the end", 100, 0, QString()},
        {"negative length", 3, -1, std::nullopt},
        {"start before the text", 0, 1, std::nullopt},
    };
    for (const CutCase& c : cases) {
        if (c.expected) {
            EXPECT_EQ(CutSpan(text, c.start, c.length), *c.expected) << c.name;
        } else {
            EXPECT_THROW(CutSpan(text, c.start, c.length), LookupFailure) << c.name;
        }
    }
}

struct OwnAddressCase {
    const char* name;
    QString page;
    std::optional<QString> address;   // nullopt: stage 1 fails
    std::optional<QString> location;  // nullopt: stage 2 fails or is never reached
};

TEST(ScrapeOwnAddressPage, WorkedExamples) {
    const OwnAddressCase cases[] = {
        {"both markers", u"x"_s + kColon + u"[1.2.3.4] "_s + kFrom + u"ABC<br/>y"_s, u"1.2.3.4"_s,
         u"ABC"_s},
        {"no address start marker", u"abc] "_s + kFrom + u"X<br/>"_s, u"bc"_s, u"X"_s},
        {"no location start marker", kColon + u"[1.2.3.4] X<br/>"_s, u"1.2.3.4"_s, u"1.2.3.4] X"_s},
        {"no address end marker", kColon + u"[1.2.3.4]"_s + kFrom + u"X<br/>"_s, std::nullopt,
         std::nullopt},
        {"no location end marker", kColon + u"[1.2.3.4] "_s + kFrom + u"X"_s, u"1.2.3.4"_s,
         std::nullopt},
        {"empty page", QString(), std::nullopt, std::nullopt},
    };
    for (const OwnAddressCase& c : cases) {
        ScrapeState state;
        if (!c.address) {
            EXPECT_THROW(ScrapeOwnAddress(c.page, state), LookupFailure) << c.name;
            continue;
        }
        EXPECT_EQ(ScrapeOwnAddress(c.page, state), *c.address) << c.name;
        if (c.location) {
            EXPECT_EQ(ScrapeOwnLocation(c.page, state), *c.location) << c.name;
        } else {
            EXPECT_THROW(ScrapeOwnLocation(c.page, state), LookupFailure) << c.name;
        }
    }
}

TEST(ScrapeOwnAddressPage, LocationSearchStartsAtTheAddressNotAfterIt) {
    // The location marker inside the address span is found, because stage 2 searches from
    // the first position of the address.
    const QString page = kColon + u"["_s + kFrom + u"Q<br/>] tail"_s;
    ScrapeState state;
    EXPECT_EQ(ScrapeOwnAddress(page, state), kFrom + u"Q<br/>"_s);
    EXPECT_EQ(state.lngStart, 3);
    EXPECT_EQ(state.lngEnd, 12);
    EXPECT_EQ(ScrapeOwnLocation(page, state), u"Q"_s);
    EXPECT_EQ(state.lngStart, 6);
    EXPECT_EQ(state.lngEnd, 7);
}

struct QueryCase {
    const char* name;
    QString page;
    std::optional<QString> result;  // nullopt: the scrape fails
};

TEST(ScrapeQueryPage, WorkedExamples) {
    const QueryCase cases[] = {
        {"three items", u"<ul><li>A</li><li>B</li><li>C</li></ul>"_s, u"A\r\nB\r\nC"_s},
        {"empty middle item", u"<li>A</li><li></li><li>C</li>"_s, u"A\r\n\r\nC"_s},
        {"line feed between items", u"<li>A</li>\n<li>B</li>\n<li>C</li>"_s, u"A\r\n>B\r\n>C"_s},
        {"two items", u"<li>A</li><li>B</li>"_s, std::nullopt},
        {"stray end marker", u"<li>A</li></li><li>B</li>"_s, std::nullopt},
        {"empty page", QString(), std::nullopt},
        // Upper-case <LI> is no item start: item 1 is cut from position 4.
        {"no item start marker", u"abcX</li><LI>B</li><LI>C</li>"_s, u"X\r\nB\r\nC"_s},
        {"end marker before the first item", u"</li><li>A</li><li>B</li><li>C</li>"_s,
         std::nullopt},
    };
    for (const QueryCase& c : cases) {
        ScrapeState state;
        if (c.result) {
            EXPECT_EQ(ScrapeQueryPage(c.page, state), *c.result) << c.name;
            EXPECT_EQ(state.strResult, *c.result) << c.name;
        } else {
            EXPECT_THROW(ScrapeQueryPage(c.page, state), LookupFailure) << c.name;
        }
    }
}

TEST(ScrapeQueryPage, LeavesTheValuesStoredBeforeAFailure) {
    ScrapeState state;
    EXPECT_THROW(ScrapeQueryPage(u"<li>A</li><li>B</li>"_s, state), LookupFailure);
    EXPECT_EQ(state.strResult, u"A\r\nB\r\n"_s);
    EXPECT_EQ(state.lngStart, 25);
    EXPECT_EQ(state.lngEnd, 0);
}

TEST(ScrapeQueryPage, AFirstCutFailureKeepsThePreviousResult) {
    ScrapeState state{7, 8, u"previous"_s};
    EXPECT_THROW(ScrapeQueryPage(QString(), state), LookupFailure);
    EXPECT_EQ(state.strResult, u"previous"_s);
    EXPECT_EQ(state.lngStart, 4);
    EXPECT_EQ(state.lngEnd, 0);
}

TEST(ScrapeQueryPage, LeavesTheLastPositions) {
    ScrapeState state;
    ScrapeQueryPage(u"<ul><li>A</li><li>B</li><li>C</li></ul>"_s, state);
    EXPECT_EQ(state.lngStart, 29);
    EXPECT_EQ(state.lngEnd, 30);
}

TEST(ScrapeOwnAddressPage, AStage2FailureLeavesItsPositions) {
    ScrapeState state;
    const QString page = kColon + u"[1.2.3.4] "_s + kFrom + u"X"_s;
    ScrapeOwnAddress(page, state);
    EXPECT_THROW(ScrapeOwnLocation(page, state), LookupFailure);
    EXPECT_EQ(state.lngStart, 15);
    EXPECT_EQ(state.lngEnd, 0);
}

}  // namespace
}  // namespace client
