// Saving and loading everything the INI file holds: the 29 command rows with every cell
// filled and the stored options, each key rewritten atomically through the profile store.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/command_row.h"
#include "options/form_storage.h"
#include "platform/profile_store.h"

namespace brantel {
namespace {

class StillWindow : public PlacedWindow {
  public:
    WindowPlacement Placement() const override {
        return {0, kShowNormal, {-1, -1}, {-4, -4}, {184, 99, 975, 712}};
    }
    void ApplyPlacement(const WindowPlacement&) override {}
    bool IsVisible() const override { return true; }
    bool IsApplicationMinimized() const override { return false; }
    PlacementSize ScreenSize() const override { return {1920, 1080}; }
    std::vector<PlacementRect> ScreenAreas() const override { return {{0, 0, 1920, 1080}}; }
    int PixelsPerInch() const override { return 96; }
    PlacementSize SizingFrame() const override { return {4, 4}; }
    void SetWindowState(WindowState) override {}
    void MinimizeApplication() override {}
    void Repaint() override {}
};

struct Fixture {
    Fixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bench-persistence-XXXXXX").string();
        directory = ::mkdtemp(pattern.data());
        iniPath = (directory / "brantel.ini").string();
        storage.SetIniFileName(iniPath);
        for (int row = 1; row <= kCommandRows; ++row) {
            std::vector<std::string> cells;
            cells.push_back("Read register " + std::to_string(row));
            cells.push_back("A 03 L V1 V2 00 02 CRC");
            cells.push_back("A 03 04 xx xx xx xx CRC");
            for (int column = 3; column < kCommandColumns; ++column) {
                cells.push_back(std::to_string(row * 100 + column));
            }
            table.push_back(std::move(cells));
        }
        storage.RestoreOptions();
    }
    ~Fixture() { std::filesystem::remove_all(directory); }

    void Save() {
        storage.SaveOptions();
        ProfileStore store(iniPath);
        for (int row = 1; row <= kCommandRows; ++row) {
            store.WriteString(kCommandSection, CommandKey(row),
                              EncodeCommandRow(table[static_cast<std::size_t>(row - 1)]));
        }
    }

    std::size_t Load() {
        storage.RestoreOptions();
        const ProfileStore store(iniPath);
        std::size_t cells = 0;
        for (int row = 1; row <= kCommandRows; ++row) {
            cells +=
                DecodeCommandRow(store.ReadString(kCommandSection, CommandKey(row), "")).size();
        }
        return cells;
    }

    std::filesystem::path directory;
    std::string iniPath;
    std::vector<std::vector<std::string>> table;
    StillWindow window;
    int portNumber = 2;
    std::string speed = "9600";
    std::string address = "50";
    std::string parameters = "P1:0A P2:1234 P3:FF";
    WholeNumberProperty portNumberValue{[this] { return portNumber; },
                                        [this](int value) { portNumber = value; }};
    TextProperty speedText{[this] { return speed; },
                           [this](const std::string& text) { speed = text; }};
    TextProperty addressText{[this] { return address; },
                             [this](const std::string& text) { address = text; }};
    TextProperty parametersText{[this] { return parameters; },
                                [this](const std::string& text) { parameters = text; }};
    FormStorage storage{window,
                        {{kForm1StoredProps[0], portNumberValue},
                         {kForm1StoredProps[1], speedText},
                         {kForm1StoredProps[2], addressText},
                         {kForm1StoredProps[3], parametersText}}};
};

void BM_SaveTableAndOptions(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state) {
        fixture.Save();
    }
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(fixture.iniPath));
}
BENCHMARK(BM_SaveTableAndOptions)->Unit(benchmark::kMillisecond);

void BM_LoadTableAndOptions(benchmark::State& state) {
    Fixture fixture;
    fixture.Save();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fixture.Load());
    }
}
BENCHMARK(BM_LoadTableAndOptions)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brantel

BENCHMARK_MAIN();
