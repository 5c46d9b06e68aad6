#include <benchmark/benchmark.h>

#include <string>

#include "text/hex_line.h"
#include "text/integers.h"
#include "text/words.h"

namespace brantel {
namespace {

void BM_ParseInteger(benchmark::State& state) {
    const std::string texts[] = {"  12", "-2147483648", "0x1F", "$FFFFFFFF", "4660"};
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseInteger(texts[next]));
        next = (next + 1) % std::size(texts);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseInteger);

void BM_HexLine255(benchmark::State& state) {
    std::string data;
    for (int byte = 0; byte < 255; ++byte) {
        data += static_cast<char>(byte);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(HexLine(data));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_HexLine255);

void BM_GetWordOfCommandRow(benchmark::State& state) {
    std::string row = "Read status;A 03 00 10 L CRC;ok";
    for (int k = 0; k < 47; ++k) {
        row += "; ";
    }
    const DelimiterSet semicolon(";");
    for (auto _ : state) {
        for (int n = 1; n <= 50; ++n) {
            benchmark::DoNotOptimize(GetWord(n, row, semicolon));
        }
    }
    state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_GetWordOfCommandRow);

}  // namespace
}  // namespace brantel

BENCHMARK_MAIN();
