#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "options/chart_options.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace brantel {

// A row of the command table as the "Series..." dialog offers it: its description and the
// names of the fields its Response cell reads.
struct RowFields {
    int row = 0;
    std::string description;
    std::vector<std::string> fields;
};

// "Series...": binds each of Series1 to Series4 to a row and one of its fields (any name may
// be typed), with the name the legend shows, and sets how many minutes "Follow" shows.
class SeriesDialog : public QDialog {
    Q_OBJECT
  public:
    SeriesDialog(const ChartOptions& options, std::vector<RowFields> rows,
                 QWidget* parent = nullptr);

    // The options as edited; the view's mode as it was given.
    ChartOptions Options() const;

  private:
    // Offers the fields of the row chosen for the series.
    void OfferFields(std::size_t series);

    ChartOptions options_;
    std::vector<RowFields> rows_;
    std::array<QComboBox*, kChartSeries> rowChoices_{};
    std::array<QComboBox*, kChartSeries> fieldChoices_{};
    std::array<QLineEdit*, kChartSeries> names_{};
    QSpinBox* followMinutes_;
};

}  // namespace brantel
