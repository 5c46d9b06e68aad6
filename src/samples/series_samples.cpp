#include "samples/series_samples.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace brantel {
namespace {

// The last millisecond a 32-bit time holds.
constexpr double kMaxMs = 4294967295.0;

double RoundedMs(double seconds) {
    return std::round(seconds * 1000.0);
}

}  // namespace

std::size_t SeriesSamples::ChunkBytes() {
    return sizeof(Chunk);
}

AppendResult SeriesSamples::Check(double time, double value) const {
    if (!std::isfinite(value)) {
        return AppendResult::kNotFinite;
    }
    if (std::fabs(value) > FLT_MAX) {
        return AppendResult::kBeyondFloat;
    }
    const double ms = RoundedMs(time);
    if (!(ms >= 0 && ms <= kMaxMs)) {
        return AppendResult::kTimeOutOfRange;
    }
    if (lastMs_ && ms < *lastMs_) {
        return AppendResult::kTimeBackwards;
    }
    return AppendResult::kKept;
}

AppendResult SeriesSamples::Append(double time, double value) {
    const AppendResult result = Check(time, value);
    if (result != AppendResult::kKept) {
        ++refused_;
        return result;
    }
    if (NextAppendTakesChunk()) {
        // Every slot is written before it is read, so the chunk is left unfilled.
        chunks_.push_back(std::make_unique_for_overwrite<Chunk>());
    }
    Chunk& chunk = *chunks_.back();
    const auto offset = static_cast<std::uint16_t>(size_ % kChunkValues);
    const auto ms = static_cast<std::uint32_t>(RoundedMs(time));
    const auto kept = static_cast<float>(value);
    chunk.ms[offset] = ms;
    chunk.values[offset] = kept;
    const auto fold = [ms, kept, offset](Summary& summary, bool starts) {
        if (starts) {
            summary = {ms, ms, ms, kept, kept, offset, offset};
            return;
        }
        // Strictly, so that the earliest of equal extremes is the one kept.
        if (kept < summary.min) {
            summary.min = kept;
            summary.minMs = ms;
            summary.minOffset = offset;
        }
        if (kept > summary.max) {
            summary.max = kept;
            summary.maxMs = ms;
            summary.maxOffset = offset;
        }
    };
    fold(chunk.blocks[offset / kBlockValues], offset % kBlockValues == 0);
    fold(chunk.whole, offset == 0);
    ++size_;
    lastMs_ = ms;
    return result;
}

std::optional<double> SeriesSamples::FirstTime() const {
    if (Empty()) {
        return std::nullopt;
    }
    return TimeMsAt(0) / 1000.0;
}

std::optional<double> SeriesSamples::LastTime() const {
    if (Empty()) {
        return std::nullopt;
    }
    return TimeMsAt(size_ - 1) / 1000.0;
}

std::size_t SeriesSamples::LowerBound(std::uint64_t ms, std::size_t from, std::size_t to) const {
    if (from >= to) {
        return to;
    }
    // The block is found from the summaries' first times, galloping from `from` since a column
    // ends near where it starts, so that only the one block holding the answer is read from the
    // values: the probes stay in a few cache lines instead of leaping across the series.
    const std::size_t blocks = (to + kBlockValues - 1) / kBlockValues;
    std::size_t block = from / kBlockValues + 1;  // blocks before it start before `ms`
    std::size_t reach = 1;
    while (block + reach <= blocks && BlockSummary(block + reach - 1).firstMs < ms) {
        block += reach;
        reach *= 2;
    }
    std::size_t end = std::min(blocks, block + reach - 1);
    while (block < end) {
        const std::size_t middle = block + (end - block) / 2;
        if (BlockSummary(middle).firstMs < ms) {
            block = middle + 1;
        } else {
            end = middle;
        }
    }
    // Every value before the block ahead of `block` is earlier than `ms`; the first of `block`,
    // where there is one, is not.
    from = std::max(from, (block - 1) * kBlockValues);
    to = std::min(to, block * kBlockValues);
    if (from == to) {
        return from;
    }
    const std::size_t start = from - from % kChunkValues;
    const auto& times = chunks_[from / kChunkValues]->ms;
    return start + static_cast<std::size_t>(std::lower_bound(times.begin() + (from - start),
                                                             times.begin() + (to - start), ms) -
                                            times.begin());
}

SeriesSamples::Window SeriesSamples::Span(double tBegin, double tEnd) const {
    Window window;
    const double beginMs = RoundedMs(tBegin);
    const double endMs = RoundedMs(tEnd);
    // Also false for a NaN bound.
    if (!(beginMs <= endMs && endMs >= 0 && beginMs <= kMaxMs)) {
        return window;
    }
    window.beginMs = beginMs < 0 ? 0 : static_cast<std::uint64_t>(beginMs);
    window.endMs =
        endMs > kMaxMs ? static_cast<std::uint64_t>(kMaxMs) : static_cast<std::uint64_t>(endMs);
    window.first = LowerBound(window.beginMs, 0, size_);
    window.last = LowerBound(window.endMs + 1, window.first, size_);
    return window;
}

void SeriesSamples::Merge(Found& found, const Summary& summary, std::size_t chunkStart) const {
    if (summary.min < found.min) {
        found.min = summary.min;
        found.minMs = summary.minMs;
        found.minIndex = chunkStart + summary.minOffset;
    }
    if (summary.max > found.max) {
        found.max = summary.max;
        found.maxMs = summary.maxMs;
        found.maxIndex = chunkStart + summary.maxOffset;
    }
}

SeriesSamples::Found SeriesSamples::Find(std::size_t first, std::size_t last) const {
    Found found{first,
                first,
                0,
                0,
                std::numeric_limits<float>::infinity(),
                -std::numeric_limits<float>::infinity()};
    // The least and greatest first, then where they first are: noisy values make a running
    // comparison mispredict, where these loops have no branch but their end.
    const auto scan = [&found](const Chunk& chunk, std::size_t start, std::size_t from,
                               std::size_t to) {
        float low = found.min;
        float high = found.max;
        for (std::size_t offset = from; offset < to; ++offset) {
            low = std::min(low, chunk.values[offset]);
            high = std::max(high, chunk.values[offset]);
        }
        const auto place = [&](float value, std::size_t& index, std::uint32_t& ms) {
            const std::size_t offset = static_cast<std::size_t>(
                std::find(chunk.values.begin() + from, chunk.values.begin() + to, value) -
                chunk.values.begin());
            index = start + offset;
            ms = chunk.ms[offset];
        };
        // Strictly, so that an equal extreme found before stays.
        if (low < found.min) {
            found.min = low;
            place(low, found.minIndex, found.minMs);
        }
        if (high > found.max) {
            found.max = high;
            place(high, found.maxIndex, found.maxMs);
        }
    };
    // Chunk by chunk, in index order, so that the strict comparisons keep the earliest extreme.
    for (std::size_t index = first; index < last;) {
        const Chunk& chunk = *chunks_[index / kChunkValues];
        const std::size_t start = index - index % kChunkValues;
        const std::size_t to = std::min(last, start + kChunkValues) - start;
        std::size_t offset = index - start;
        index = start + to;
        if (offset == 0 && to == kChunkValues) {
            Merge(found, chunk.whole, start);
            continue;
        }
        const std::size_t headEnd =
            std::min(to, (offset + kBlockValues - 1) / kBlockValues * kBlockValues);
        scan(chunk, start, offset, headEnd);
        for (offset = headEnd; offset + kBlockValues <= to; offset += kBlockValues) {
            Merge(found, chunk.blocks[offset / kBlockValues], start);
        }
        scan(chunk, start, offset, to);
    }
    return found;
}

std::optional<SampleExtremes> SeriesSamples::Extremes(double tBegin, double tEnd) const {
    const Window window = Span(tBegin, tEnd);
    if (window.first == window.last) {
        return std::nullopt;
    }
    const Found found = Find(window.first, window.last);
    return SampleExtremes{{found.minMs / 1000.0, found.min}, {found.maxMs / 1000.0, found.max}};
}

std::vector<SamplePoint> SeriesSamples::Decimate(double tBegin, double tEnd, int columns) const {
    std::vector<SamplePoint> points;
    if (columns <= 0) {
        return points;
    }
    const Window window = Span(tBegin, tEnd);
    const std::size_t count = window.last - window.first;
    const auto columnCount = static_cast<std::size_t>(columns);
    if (count <= columnCount) {
        points.reserve(count);
        for (std::size_t index = window.first; index < window.last; ++index) {
            points.push_back(At(index));
        }
        return points;
    }
    points.reserve(std::min(count, 4 * columnCount));
    // Column c holds the milliseconds from beginMs + span * c / columns on: whole milliseconds,
    // so a value's column does not hang on rounding.
    const std::uint64_t span = window.endMs - window.beginMs + 1;
    std::size_t first = window.first;
    for (std::size_t column = 0; column < columnCount && first < window.last; ++column) {
        const std::size_t last =
            column + 1 == columnCount
                ? window.last
                : LowerBound(window.beginMs + span * (column + 1) / columnCount, first,
                             window.last);
        if (last == first) {
            continue;
        }
        const Found found = Find(first, last);
        // The extremes come from the summaries with their times, so only the column's edges are
        // read from the values.
        const SamplePoint low{found.minMs / 1000.0, found.min};
        const SamplePoint high{found.maxMs / 1000.0, found.max};
        const bool lowFirst = found.minIndex <= found.maxIndex;
        const std::size_t early = lowFirst ? found.minIndex : found.maxIndex;
        const std::size_t late = lowFirst ? found.maxIndex : found.minIndex;
        points.push_back(At(first));
        if (early > first) {
            points.push_back(lowFirst ? low : high);
        }
        if (late > early) {
            points.push_back(lowFirst ? high : low);
        }
        if (last - 1 > late) {
            points.push_back(At(last - 1));
        }
        first = last;
    }
    return points;
}

std::size_t SeriesSamples::MemoryBytes() const {
    return chunks_.size() * sizeof(Chunk);
}

std::uint32_t SeriesSamples::OldestChunkEndMs() const {
    return TimeMsAt(std::min(size_, kChunkValues) - 1);
}

std::size_t SeriesSamples::DropOldestChunk() {
    if (chunks_.empty()) {
        return 0;
    }
    const std::size_t count = std::min(size_, kChunkValues);
    chunks_.erase(chunks_.begin());
    size_ -= count;
    dropped_ += count;
    return count;
}

void SeriesSamples::Clear() {
    chunks_.clear();
    size_ = 0;
    lastMs_.reset();
    refused_ = 0;
    dropped_ = 0;
}

}  // namespace brantel
