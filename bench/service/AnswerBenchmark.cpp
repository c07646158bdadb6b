// Cost of one answer of the lookup core, and of a whole query page, for public addresses.
// Reads the data folder named by WHERIX_GEO_DATA (the real data, e.g. data/geo), else the
// test fixtures; it also prints how long loading the folder took.
#include "bench/service/PublicSample.h"
#include "service/core/GeoData.h"
#include "service/core/Ipv4Address.h"
#include "service/pages/CodePage936Encoding.h"
#include "service/pages/Pages.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<service::GeoData> g_data;
const std::vector<std::uint32_t> kSample = PublicSample(1 << 16, 10);

void BM_Answer(benchmark::State& state) {
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(g_data->Answer(kSample[next++ & (kSample.size() - 1)]));
    }
}
BENCHMARK(BM_Answer);

void BM_QueryPageInCodePage936(benchmark::State& state) {
    std::size_t next = 0;
    for (auto _ : state) {
        const std::uint32_t address = kSample[next++ & (kSample.size() - 1)];
        benchmark::DoNotOptimize(service::EncodeCodePage936(
            service::QueryPage(service::FormatIpv4(address), g_data->Answer(address))));
    }
}
BENCHMARK(BM_QueryPageInCodePage936);

}  // namespace

int main(int argc, char** argv) {
    const char* folder = std::getenv("WHERIX_GEO_DATA");
    if (folder == nullptr || *folder == '\0') folder = SERVICE_FIXTURES;
    const auto start = std::chrono::steady_clock::now();
    g_data = std::make_unique<service::GeoData>(folder);
    const std::chrono::duration<double, std::milli> loading =
        std::chrono::steady_clock::now() - start;
    std::printf("data folder %s loaded in %.0f ms\n", folder, loading.count());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
