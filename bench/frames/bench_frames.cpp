#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"

namespace brantel {
namespace {

struct Example {
    const char* frameTemplate;
    const char* params;
    std::vector<std::string> variables;
};

const std::vector<Example>& WorkedExamples() {
    static const std::vector<Example> examples = {
        {"A 03 00 10 L CRC", "", {}},    {"A 01 L D D CRC", "", {"300", "-1"}},
        {"A 05 W2 CRC", "", {"4660"}},   {"0AA D2 L CRC", "", {"17"}},
        {"A 02 L 01 P CRC", "P:xy", {}}, {"01 N S", "N:12 S:ab", {}},
        {"[hdr] 01 02", "", {}},         {"L CRC", "", {}},
    };
    return examples;
}

// One frame per iteration, the worked examples in turn.
void BM_BuildWorkedExamples(benchmark::State& state) {
    std::vector<FixedFrameInputs> rows(WorkedExamples().size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].params.Parse(WorkedExamples()[i].params);
        rows[i].variables = WorkedExamples()[i].variables;
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildFrame(WorkedExamples()[next].frameTemplate, rows[next]));
        next = (next + 1) % rows.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildWorkedExamples);

// A frame that fills the transmit buffer: 47 variables of five copies each, 235 bytes plus
// header, length and checksum.
void BM_BuildLongFrame(benchmark::State& state) {
    FixedFrameInputs row;
    row.variables.assign(47, "$1F");
    std::string frameTemplate = "A 01 L";
    for (int k = 0; k < 47; ++k) {
        frameTemplate += " D5";
    }
    frameTemplate += " CRC";
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildFrame(frameTemplate, row));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildLongFrame);

void BM_ParseParameters(benchmark::State& state) {
    std::string text;
    for (int i = 1; i <= 50; ++i) {
        text += " P" + std::to_string(i) + ":" + (i % 2 ? "$1F" : "abc");
    }
    NamedParamTable table;
    for (auto _ : state) {
        table.Parse(text);
        benchmark::DoNotOptimize(table.NamedParamCount());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseParameters);

}  // namespace
}  // namespace brantel

BENCHMARK_MAIN();
