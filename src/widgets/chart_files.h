#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

class QWidget;

namespace brantel {

class ChartSamples;

// The chart's CSV of the series `columns`, written through a temporary file that replaces
// `path` only once it is whole; the reason when the write failed, the file then as it was.
std::optional<QString> SaveChartCsv(const ChartSamples& samples,
                                    const std::vector<std::size_t>& columns, const QString& path);

// The widget as drawn, as a PNG file, in the same way.
std::optional<QString> SaveWidgetPng(QWidget& widget, const QString& path);

}  // namespace brantel
