#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "checks/check_search.h"
#include "checks/crc_catalogue.h"

namespace brantel {
namespace {

// A whole transmit buffer's worth of bytes through the bit-wise engine.
void BM_Crc32Of255Bytes(benchmark::State& state) {
    const CatalogueCrc* crc32 = FindCatalogueCrc("CRC-32/ISO-HDLC");
    std::string bytes(255, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 + 3);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeCrc(crc32->model, bytes));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_Crc32Of255Bytes);

// Four captured frames of 64 bytes, each ending in a good CRC-16/MODBUS: every candidate is
// tried on the first frame, the few that hold on the others. Target: well under 50 ms.
void BM_FindChecksInFourFrames(benchmark::State& state) {
    const auto modbus = ParseCheckToken("CRC-16/MODBUS");
    std::vector<std::string> frames;
    for (int f = 0; f < 4; ++f) {
        std::string frame(62, '\0');
        for (std::size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<char>(((i + 1) * (f + 13)) ^ (i >> 2));
        }
        frames.push_back(frame + modbus->Bytes(modbus->algorithm.Compute(frame)));
    }
    std::size_t found = 0;
    for (auto _ : state) {
        const std::vector<CheckToken> checks = FindChecks(frames);
        found = checks.size();
        benchmark::DoNotOptimize(checks.data());
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_FindChecksInFourFrames)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brantel

BENCHMARK_MAIN();
