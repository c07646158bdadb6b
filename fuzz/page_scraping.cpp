// The two scrapers on any page text. The input is read as UTF-8; its parts split at U+001F
// also build a page of the service's shape around chosen values, which the scrapers must
// give back exactly.
#include "client/HttpRequest.h"
#include "client/PageScraping.h"
#include "fuzz/Require.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace {

// The page markers as the service writes them, stated here again rather than taken from the
// service's header: this target is an independent check of how the program reads the page.
const QString kAddressStart = QStringLiteral(u"：[");
const QString kAddressEnd = QStringLiteral(u"] ");
const QString kLocationStart = QStringLiteral(u"来自：");
const QString kLocationEnd = QStringLiteral(u"<br/>");
const QString kItemStart = QStringLiteral(u"<li>");
const QString kItemEnd = QStringLiteral(u"</li>");
const QString kLineBreak = QStringLiteral(u"\r\n");

// Runs a scrape; false when it fails the one way it may.
template <typename Scrape>
bool Succeeds(Scrape&& scrape) {
    try {
        scrape();
        return true;
    } catch (const client::LookupFailure&) {
        return false;
    }
}

void CheckOwnAddressPage(const QString& page) {
    client::ScrapeState state;
    QString address;
    if (!Succeeds([&] { address = client::ScrapeOwnAddress(page, state); })) return;
    Require(!address.contains(kAddressEnd), "the address stops at its end marker");
    Require(address.size() <= page.size(), "the address is part of the page");
    QString location;
    if (!Succeeds([&] { location = client::ScrapeOwnLocation(page, state); })) return;
    Require(!location.contains(kLocationEnd), "the location stops at its end marker");
    Require(location.size() <= page.size(), "the location is part of the page");
}

void CheckQueryPage(const QString& page) {
    client::ScrapeState state;
    QString result;
    if (!Succeeds([&] { result = client::ScrapeQueryPage(page, state); })) return;
    Require(result == state.strResult, "the result is the one left in the state");
    Require(result.count(kLineBreak) >= 2, "three items joined by line breaks");
    Require(!result.contains(kItemEnd), "no item holds its end marker");
}

// The markers of a built page stand where they were put: no value holds one, and none
// forms across the edge of a value.
bool FirstAt(const QString& page, const QString& marker, qsizetype from, qsizetype at) {
    return page.indexOf(marker, from) == at;
}

void CheckBuiltOwnAddressPage(const QStringList& parts) {
    const QString& before = parts[0];
    const QString& address = parts[1];
    const QString& between = parts[2];
    const QString& location = parts[3];
    const QString page = before + kAddressStart + address + kAddressEnd + between + kLocationStart +
                         location + kLocationEnd + parts[4];
    const qsizetype addressAt = before.size() + kAddressStart.size();
    const qsizetype locationAt =
        addressAt + address.size() + kAddressEnd.size() + between.size() + kLocationStart.size();
    if (!FirstAt(page, kAddressStart, 0, before.size()) ||
        !FirstAt(page, kAddressEnd, addressAt, addressAt + address.size()) ||
        !FirstAt(page, kLocationStart, addressAt, locationAt - kLocationStart.size()) ||
        !FirstAt(page, kLocationEnd, locationAt, locationAt + location.size())) {
        return;
    }
    client::ScrapeState state;
    Require(client::ScrapeOwnAddress(page, state) == address, "the address comes back");
    Require(client::ScrapeOwnLocation(page, state) == location, "the location comes back");
}

void CheckBuiltQueryPage(const QStringList& parts) {
    const QString& before = parts[0];
    const QString page = before + kItemStart + parts[1] + kItemEnd + kItemStart + parts[2] +
                         kItemEnd + kItemStart + parts[3] + kItemEnd + parts[4];
    qsizetype at = before.size();
    for (int item = 1; item <= 3; ++item) {
        if (!FirstAt(page, kItemStart, item == 1 ? 0 : at, at)) return;
        at += kItemStart.size() + parts[item].size();
        if (!FirstAt(page, kItemEnd, item == 1 ? 0 : at - parts[item].size(), at)) return;
        at += kItemEnd.size();
    }
    client::ScrapeState state;
    Require(client::ScrapeQueryPage(page, state) ==
                parts[1] + kLineBreak + parts[2] + kLineBreak + parts[3],
            "the three items come back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString page =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckOwnAddressPage(page);
    CheckQueryPage(page);
    const QStringList parts = page.split(u'\x1f');
    if (parts.size() == 5) {
        CheckBuiltOwnAddressPage(parts);
        CheckBuiltQueryPage(parts);
    }
    return 0;
}
