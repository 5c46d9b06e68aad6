#include "samples/chart_samples.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <ostream>
#include <string_view>
#include <system_error>
#include <utility>

namespace brantel {
namespace {

// A day's export runs to hundreds of megabytes, so it leaves in pieces of about this size.
constexpr std::size_t kPieceBytes = 64 * 1024;

void AppendCell(std::string& text, std::string_view cell) {
    if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
        text += cell;
        return;
    }
    text += '"';
    for (const char c : cell) {
        if (c == '"') {
            text += '"';
        }
        text += c;
    }
    text += '"';
}

void AppendTime(std::string& text, std::uint32_t ms) {
    char digits[16];
    const auto whole = std::to_chars(digits, digits + sizeof digits, ms / 1000);
    text.append(digits, whole.ptr);
    const std::uint32_t fraction = ms % 1000;
    text += '.';
    text += static_cast<char>('0' + fraction / 100);
    text += static_cast<char>('0' + fraction / 10 % 10);
    text += static_cast<char>('0' + fraction % 10);
}

void AppendValue(std::string& text, float value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end.ptr);
}

}  // namespace

ChartSamples::ChartSamples(std::vector<std::string> names, std::size_t budgetBytes)
    : names_(std::move(names)), series_(names_.size()), budgetBytes_(budgetBytes) {}

AppendResult ChartSamples::Append(std::size_t series, double time, double value) {
    SeriesSamples& samples = series_.at(series);
    if (samples.NextAppendTakesChunk() && samples.Check(time, value) == AppendResult::kKept) {
        MakeRoom();
    }
    return samples.Append(time, value);
}

void ChartSamples::MakeRoom() {
    while (MemoryBytes() + SeriesSamples::ChunkBytes() > budgetBytes_) {
        SeriesSamples* oldest = nullptr;
        for (SeriesSamples& samples : series_) {
            if (samples.OldestChunkFull() &&
                (oldest == nullptr || samples.OldestChunkEndMs() < oldest->OldestChunkEndMs())) {
                oldest = &samples;
            }
        }
        if (oldest == nullptr) {
            return;
        }
        oldest->DropOldestChunk();
    }
}

std::uint64_t ChartSamples::Dropped() const {
    std::uint64_t dropped = 0;
    for (const SeriesSamples& samples : series_) {
        dropped += samples.Dropped();
    }
    return dropped;
}

std::uint64_t ChartSamples::Refused() const {
    std::uint64_t refused = 0;
    for (const SeriesSamples& samples : series_) {
        refused += samples.Refused();
    }
    return refused;
}

std::size_t ChartSamples::MemoryBytes() const {
    std::size_t bytes = 0;
    for (const SeriesSamples& samples : series_) {
        bytes += samples.MemoryBytes();
    }
    return bytes;
}

void ChartSamples::Clear() {
    for (SeriesSamples& samples : series_) {
        samples.Clear();
    }
}

bool ChartSamples::WriteCsv(std::ostream& out) const {
    std::vector<std::size_t> columns(series_.size());
    for (std::size_t s = 0; s < columns.size(); ++s) {
        columns[s] = s;
    }
    return WriteCsv(out, columns);
}

bool ChartSamples::WriteCsv(std::ostream& out, const std::vector<std::size_t>& columns) const {
    std::vector<const SeriesSamples*> series;
    std::string text = "time";
    for (const std::size_t column : columns) {
        series.push_back(&series_.at(column));
        text += ',';
        AppendCell(text, names_[column]);
    }
    text += '\n';
    std::vector<std::size_t> next(series.size(), 0);
    constexpr auto kNone = std::numeric_limits<std::uint64_t>::max();
    while (out) {
        std::uint64_t ms = kNone;
        for (std::size_t s = 0; s < series.size(); ++s) {
            if (next[s] < series[s]->Size()) {
                ms = std::min<std::uint64_t>(ms, series[s]->TimeMsAt(next[s]));
            }
        }
        if (ms == kNone) {
            break;
        }
        AppendTime(text, static_cast<std::uint32_t>(ms));
        for (std::size_t s = 0; s < series.size(); ++s) {
            text += ',';
            if (next[s] < series[s]->Size() && series[s]->TimeMsAt(next[s]) == ms) {
                AppendValue(text, series[s]->ValueAt(next[s]));
                ++next[s];
            }
        }
        text += '\n';
        if (text.size() >= kPieceBytes) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

}  // namespace brantel
