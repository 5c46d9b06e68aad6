#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace brantel {

// A kept value as the chart draws it: seconds since the start of the run, and the value.
struct SamplePoint {
    double time = 0;
    double value = 0;
    bool operator==(const SamplePoint&) const = default;
};

// The least and the greatest value over a range, each with its time; on a tie the earlier.
struct SampleExtremes {
    SamplePoint min;
    SamplePoint max;
    bool operator==(const SampleExtremes&) const = default;
};

enum class AppendResult {
    kKept,
    kNotFinite,       // NaN or an infinity
    kBeyondFloat,     // finite, but larger in magnitude than a float holds
    kTimeOutOfRange,  // NaN, below 0 or from 2^32 ms (49.7 days) on, once rounded
    kTimeBackwards,   // earlier than the last value appended
};

// One series of a chart, kept compactly: the time rounded to the nearest millisecond as 32 bits
// (up to 49.7 days) and the value rounded to the nearest float (24 significant bits, about 7
// decimal digits; magnitudes below 1.2e-38 lose bits down to 1.4e-45, then read 0), 8 bytes a
// value and 0.38 more for the summaries. Values are kept in chunks of kChunkValues, each with the
// least and greatest value of every kBlockValues and of the whole chunk, so a range's extremes
// skip the values of the blocks it covers whole.
//
// Ranges are closed, [tBegin, tEnd], their bounds rounded to the millisecond as times are, so a
// value appended at t lies inside [t, t].
class SeriesSamples {
  public:
    static constexpr std::size_t kBlockValues = 64;
    static constexpr std::size_t kChunkValues = 4096;

    // What one chunk takes, the unit in which memory grows and is given back.
    static std::size_t ChunkBytes();

    // Keeps the value, or refuses it (and counts it in Refused()) for the reason returned.
    AppendResult Append(double time, double value);
    // What Append would return, without keeping or counting anything.
    AppendResult Check(double time, double value) const;

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    // 0 is the oldest value kept.
    SamplePoint At(std::size_t index) const { return {TimeMsAt(index) / 1000.0, ValueAt(index)}; }
    std::optional<double> FirstTime() const;
    std::optional<double> LastTime() const;

    std::optional<SampleExtremes> Extremes(double tBegin, double tEnd) const;

    // The range cut into `columns` spans of whole milliseconds, column c holding those from
    // begin + span * c / columns on (span being end - begin + 1), and of each span's values the
    // first, the least, the greatest and the last, in time order and each once: at most 4
    // points a column. A range with no more values than columns gives its values as they are.
    // A column costs a search of the summaries, the values of the blocks at its two edges (at
    // most 128) and the summaries between, whatever the number of values kept.
    std::vector<SamplePoint> Decimate(double tBegin, double tEnd, int columns) const;

    // Appends refused since the last Clear().
    std::uint64_t Refused() const { return refused_; }
    // Values dropped by DropOldestChunk() since the last Clear().
    std::uint64_t Dropped() const { return dropped_; }
    // The bytes of the chunks held, partly filled ones whole.
    std::size_t MemoryBytes() const;

    // Whether the next value kept takes a new chunk.
    bool NextAppendTakesChunk() const { return size_ == chunks_.size() * kChunkValues; }
    // Whether the oldest chunk is full, so dropping it gives back kChunkValues values' room.
    bool OldestChunkFull() const { return size_ >= kChunkValues; }
    // The time of the newest value of the oldest chunk; the series must not be empty.
    std::uint32_t OldestChunkEndMs() const;
    // Drops the oldest chunk's values and returns how many they were.
    std::size_t DropOldestChunk();

    // Forgets every value and the counts; the next value may have any time.
    void Clear();

    // The kept form, for writers that want it exact.
    std::uint32_t TimeMsAt(std::size_t index) const {
        return chunks_[index / kChunkValues]->ms[index % kChunkValues];
    }
    float ValueAt(std::size_t index) const {
        return chunks_[index / kChunkValues]->values[index % kChunkValues];
    }

  private:
    // A block's or a chunk's extremes with their times, and its first time: a decimation over a
    // long range reads these and the values at the columns' edges only.
    struct Summary {
        std::uint32_t firstMs;
        std::uint32_t minMs;
        std::uint32_t maxMs;
        float min;
        float max;
        std::uint16_t minOffset;  // in the chunk
        std::uint16_t maxOffset;
    };
    struct Chunk {
        std::array<std::uint32_t, kChunkValues> ms;
        std::array<float, kChunkValues> values;
        std::array<Summary, kChunkValues / kBlockValues> blocks;
        Summary whole;
    };
    struct Found {
        std::size_t minIndex;
        std::size_t maxIndex;
        std::uint32_t minMs;
        std::uint32_t maxMs;
        float min;
        float max;
    };

    const Summary& BlockSummary(std::size_t block) const {
        constexpr std::size_t kBlocks = kChunkValues / kBlockValues;
        return chunks_[block / kBlocks]->blocks[block % kBlocks];
    }
    // The first index of [from, to) whose time is at least `ms`, or `to`.
    std::size_t LowerBound(std::uint64_t ms, std::size_t from, std::size_t to) const;
    struct Window {
        std::uint64_t beginMs = 0;
        std::uint64_t endMs = 0;  // inclusive
        std::size_t first = 0;
        std::size_t last = 0;  // past the end
    };

    // The values of a closed time range; none where the range is empty or reversed.
    Window Span(double tBegin, double tEnd) const;
    // The extremes of the values [first, last), which must not be empty.
    Found Find(std::size_t first, std::size_t last) const;
    void Merge(Found& found, const Summary& summary, std::size_t chunkStart) const;

    // Pointers rather than a deque of chunks: indexing stays two loads, and dropping the oldest
    // moves a few thousand pointers at most.
    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::size_t size_ = 0;
    // Kept apart from the chunks so that the order holds after the oldest are dropped.
    std::optional<std::uint32_t> lastMs_;
    std::uint64_t refused_ = 0;
    std::uint64_t dropped_ = 0;
};

}  // namespace brantel
