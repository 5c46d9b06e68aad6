// CPU cost of the 100 ms poll's read and of a full-buffer write, over a pseudo-terminal.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "serial_bench_rig.h"

namespace brantel::bench {
namespace {

void IgnoreLine(const std::string& text, Colour) {
    benchmark::DoNotOptimize(text.data());
}

bool Held(const SerialBenchRig& rig, benchmark::State& state) {
    if (!rig.held) {
        state.SkipWithError("no pseudo-terminal port");
    }
    return rig.held;
}

void BM_IdleReadTick(benchmark::State& state) {
    SerialBenchRig rig(IgnoreLine);
    if (!Held(rig, state)) {
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.transfer.ReadBytes());
    }
}
BENCHMARK(BM_IdleReadTick);

void BM_FullReadTick(benchmark::State& state) {
    SerialBenchRig rig(IgnoreLine);
    if (!Held(rig, state)) {
        return;
    }
    const std::string block(RawTransfer::kBufferSize, '\x5A');
    for (auto _ : state) {
        state.PauseTiming();
        rig.device.Write(block);
        while (rig.InDriver() < RawTransfer::kBufferSize) {
        }
        state.ResumeTiming();
        if (rig.transfer.ReadBytes().size() != static_cast<std::size_t>(RawTransfer::kBufferSize)) {
            state.SkipWithError("short read");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * RawTransfer::kBufferSize);
}
BENCHMARK(BM_FullReadTick);

void BM_FullWrite(benchmark::State& state) {
    SerialBenchRig rig(IgnoreLine);
    if (!Held(rig, state)) {
        return;
    }
    const std::string block(RawTransfer::kBufferSize, '\x5A');
    for (auto _ : state) {
        if (rig.transfer.WriteBytes(block) != RawTransfer::kBufferSize) {
            state.SkipWithError("short write");
            break;
        }
        state.PauseTiming();
        rig.device.Read(block.size());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * RawTransfer::kBufferSize);
}
BENCHMARK(BM_FullWrite);

}  // namespace
}  // namespace brantel::bench

int main(int argc, char** argv) {
    // Qt's serial port needs the application object for its event dispatcher.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
