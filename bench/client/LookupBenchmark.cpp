// Figures for the lookup client's text path: the query decoder with its event pump, the pump
// alone, the whole-page conversion and the query page scrape.
#include "client/PageDecoding.h"
#include "client/PageScraping.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr qsizetype kPageBytes = 100 * 1024;

// A query page of 100 KiB in GBK: the three result items, then paragraphs of Chinese text
// (every GB2312 character in turn) between ASCII markup, as the service's pages are.
QByteArray SamplePage() {
    QByteArray page =
        "<html><head><title>IP</title></head><body><ul><li>\xb2\xe9\xd1\xaf\xa3\xba"
        "8.8.8.8</li><li>\xc3\xc0\xb9\xfa</li><li>Google</li></ul>\r\n";
    int lead = 0xb0;
    int trail = 0xa1;
    while (page.size() < kPageBytes - 16) {
        page.append("<p class=\"t\">");
        for (int i = 0; i < 60 && page.size() < kPageBytes - 16; ++i) {
            page.append(static_cast<char>(lead)).append(static_cast<char>(trail));
            if (++trail > 0xfe) {
                trail = 0xa1;
                lead = lead == 0xf7 ? 0xb0 : lead + 1;
            }
        }
        page.append("</p>\r\n");
    }
    while (page.size() < kPageBytes) page.append(' ');
    return page;
}

const QByteArray& Page() {
    static const QByteArray page = SamplePage();
    return page;
}

qsizetype CharacterCount() {
    static const qsizetype count = client::DecodeResponseBytes(Page(), [] {}).size();
    return count;
}

void SetFigures(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * kPageBytes);
    state.counters["characters"] = static_cast<double>(CharacterCount());
}

void DecodeResponseBytes(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(client::DecodeResponseBytes(Page()));
    SetFigures(state);
}
BENCHMARK(DecodeResponseBytes)->Unit(benchmark::kMillisecond);

void DecodeWithoutPump(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(client::DecodeResponseBytes(Page(), [] {}));
    SetFigures(state);
}
BENCHMARK(DecodeWithoutPump)->Unit(benchmark::kMillisecond);

// As many bare pump calls as the page has characters: what a pass per character would cost.
template <void (*Pump)()>
void PumpCalls(benchmark::State& state) {
    const qsizetype calls = CharacterCount();
    for (auto _ : state) {
        for (qsizetype i = 0; i < calls; ++i) Pump();
    }
    SetFigures(state);
}

BENCHMARK(PumpCalls<client::ProcessPendingEvents>)
    ->Name("ProcessPendingEvents")
    ->Unit(benchmark::kMillisecond);

void ConvertWholePage(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(client::ConvertWholePage(Page()));
    SetFigures(state);
}
BENCHMARK(ConvertWholePage)->Unit(benchmark::kMillisecond);

void ScrapeQueryPage(benchmark::State& state) {
    const QString text = client::ConvertWholePage(Page());
    for (auto _ : state) {
        client::ScrapeState scrape;
        benchmark::DoNotOptimize(client::ScrapeQueryPage(text, scrape));
    }
}
BENCHMARK(ScrapeQueryPage)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // A shown window, so that the event system carries what the program's own does.
    QWidget window;
    window.resize(400, 300);
    window.show();
    QCoreApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
