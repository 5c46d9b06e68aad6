#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "samples/series_samples.h"

namespace brantel {

// The series of one chart under one memory budget. When a value needs a new chunk and the
// chunks held would pass the budget with it, the oldest full chunks of the whole chart go first,
// oldest by their newest value, whichever series they belong to, so a slow series keeps its
// history while a fast one pays for its own. A series' only chunk, partly filled, is never
// dropped, so the budget may be passed by at most one chunk a series.
class ChartSamples {
  public:
    static constexpr std::size_t kDefaultBudgetBytes = std::size_t{64} << 20;

    explicit ChartSamples(std::vector<std::string> names,
                          std::size_t budgetBytes = kDefaultBudgetBytes);

    std::size_t SeriesCount() const { return series_.size(); }
    const std::string& Name(std::size_t series) const { return names_.at(series); }
    void SetName(std::size_t series, std::string name) { names_.at(series) = std::move(name); }
    const SeriesSamples& Series(std::size_t series) const { return series_.at(series); }

    AppendResult Append(std::size_t series, double time, double value);

    // Values dropped to keep the budget, and appends refused, since the last Clear().
    std::uint64_t Dropped() const;
    std::uint64_t Refused() const;
    std::size_t MemoryBytes() const;
    std::size_t BudgetBytes() const { return budgetBytes_; }

    void Clear();
    // Forgets one series' values and counts, as when it starts to draw something else.
    void ClearSeries(std::size_t series) { series_.at(series).Clear(); }

    // `time,<name>,...`, then a line per distinct millisecond in time order, a cell empty where
    // its series has no value then; a series with several values in one millisecond gives
    // further lines of that time. Times are seconds with three decimals, values the shortest
    // text that reads back as the float kept. Written in pieces as it goes; returns whether the
    // stream took it all.
    bool WriteCsv(std::ostream& out) const;
    // The same of the series named, in that order, as if the chart held only those.
    bool WriteCsv(std::ostream& out, const std::vector<std::size_t>& columns) const;

  private:
    // Drops the oldest full chunks until a new chunk fits in the budget, or none is left.
    void MakeRoom();

    std::vector<std::string> names_;
    std::vector<SeriesSamples> series_;
    std::size_t budgetBytes_;
};

}  // namespace brantel
