#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "frames/explanation_table.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"
#include "frames/frame_explanation.h"

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

// A 255-byte frame whose last 4 bytes are the 32-bit CRC of the 251 before them.
void BM_BuildLongFrameWithCrc32(benchmark::State& state) {
    FixedFrameInputs row;
    row.variables.assign(47, "$1F");
    std::string frameTemplate = "A 01 L";
    for (int k = 0; k < 47; ++k) {
        frameTemplate += " D5";
    }
    for (int k = 0; k < 13; ++k) {
        frameTemplate += " 00";
    }
    frameTemplate += " CRC-32/ISO-HDLC";
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildFrame(frameTemplate, row));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildLongFrameWithCrc32);

// A template of 241 characters with 47 variables that builds a 241-byte frame, its checksum
// moved off its placeholder: what a Command cell is explained for as it is typed.
struct LongTemplate {
    FixedFrameInputs row;
    std::string frameTemplate = "A L";
    LongTemplate() {
        row.variables.assign(47, "$1F");
        for (int k = 0; k < 46; ++k) {
            frameTemplate += " Var5";
        }
        frameTemplate += " Vr8 CRC";
    }
};

void CheckLongTemplate(benchmark::State& state, const LongTemplate& subject) {
    const FrameExplanation explanation = ExplainFrame(subject.frameTemplate, subject.row);
    if (subject.frameTemplate.size() != 241 || explanation.frame.size() != 241 ||
        explanation.tokens.size() != 50 || explanation.warnings.size() != 1) {
        state.SkipWithError("the long template is not the one described");
    }
}

void BM_ExplainLongTemplate(benchmark::State& state) {
    const LongTemplate subject;
    CheckLongTemplate(state, subject);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExplainFrame(subject.frameTemplate, subject.row));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExplainLongTemplate);

// The explanation and its table, as a hovered Command cell shows it.
void BM_ExplainLongTemplateAsTable(benchmark::State& state) {
    const LongTemplate subject;
    CheckLongTemplate(state, subject);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ExplanationTable(ExplainFrame(subject.frameTemplate, subject.row)));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExplainLongTemplateAsTable);

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
