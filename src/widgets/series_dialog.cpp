#include "widgets/series_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>

#include "qtbridge/local_text.h"

namespace brantel {

SeriesDialog::SeriesDialog(const ChartOptions& options, std::vector<RowFields> rows,
                           QWidget* parent)
    : QDialog(parent), options_(options), rows_(std::move(rows)) {
    setWindowTitle("Series");
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("Row", this), 0, 1);
    layout->addWidget(new QLabel("Field", this), 0, 2);
    layout->addWidget(new QLabel("Name", this), 0, 3);
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        const int line = static_cast<int>(s) + 1;
        const SeriesBinding& binding = options.series[s];
        auto* rowChoice = new QComboBox(this);
        rowChoice->setObjectName(QString("Series%1Row").arg(line));
        rowChoice->addItem("None", 0);
        for (const RowFields& row : rows_) {
            rowChoice->addItem(QString("%1  %2").arg(row.row).arg(FromBytes(row.description)),
                               row.row);
        }
        rowChoice->setCurrentIndex(std::max(0, rowChoice->findData(binding.row)));
        auto* fieldChoice = new QComboBox(this);
        fieldChoice->setObjectName(QString("Series%1Field").arg(line));
        fieldChoice->setEditable(true);
        fieldChoice->setInsertPolicy(QComboBox::NoInsert);
        fieldChoice->setMinimumContentsLength(12);
        auto* name = new QLineEdit(FromBytes(binding.name), this);
        name->setObjectName(QString("Series%1Name").arg(line));
        layout->addWidget(new QLabel(QString("Series%1").arg(line), this), line, 0);
        layout->addWidget(rowChoice, line, 1);
        layout->addWidget(fieldChoice, line, 2);
        layout->addWidget(name, line, 3);
        rowChoices_[s] = rowChoice;
        fieldChoices_[s] = fieldChoice;
        names_[s] = name;
        OfferFields(s);
        fieldChoice->setEditText(FromBytes(binding.field));
        connect(rowChoice, &QComboBox::currentIndexChanged, this, [this, s] { OfferFields(s); });
        // The legend takes the field's name unless another is written.
        connect(fieldChoice, &QComboBox::editTextChanged, name, &QLineEdit::setPlaceholderText);
        name->setPlaceholderText(fieldChoice->currentText());
    }
    const int below = static_cast<int>(kChartSeries) + 1;
    followMinutes_ = new QSpinBox(this);
    followMinutes_->setObjectName("FollowMinutes");
    followMinutes_->setRange(1, ChartOptions::kMaxFollowMinutes);
    followMinutes_->setValue(options.followMinutes);
    followMinutes_->setSuffix(" min");
    layout->addWidget(new QLabel("Follow shows the last", this), below, 0, 1, 2);
    layout->addWidget(followMinutes_, below, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, below + 1, 0, 1, 4);
}

void SeriesDialog::OfferFields(std::size_t series) {
    QComboBox* choice = fieldChoices_[series];
    const QString typed = choice->currentText();
    const int row = rowChoices_[series]->currentData().toInt();
    const QSignalBlocker quiet(choice);
    choice->clear();
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [row](const RowFields& one) { return one.row == row; });
    if (found != rows_.end()) {
        for (const std::string& field : found->fields) {
            choice->addItem(FromBytes(field));
        }
    }
    // A name typed for the row before stays when the new row reads it too, or reads nothing.
    const bool keep = choice->count() == 0 || choice->findText(typed) >= 0;
    choice->setEditText(keep ? typed : choice->itemText(0));
    // The choice was quiet while refilled, so the name's hint follows here.
    names_[series]->setPlaceholderText(choice->currentText());
}

ChartOptions SeriesDialog::Options() const {
    ChartOptions options = options_;
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        SeriesBinding& binding = options.series[s];
        binding.row = rowChoices_[s]->currentData().toInt();
        binding.field = ToBytes(fieldChoices_[s]->currentText().trimmed());
        binding.name = ToBytes(names_[s]->text().trimmed());
        if (binding.row == 0) {
            binding = SeriesBinding();
        }
    }
    options.followMinutes = followMinutes_->value();
    return options;
}

}  // namespace brantel
