#include "log/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "log/traffic_log.h"

namespace brantel {

FindDialog::FindDialog(TrafficLog* log)
    : QDialog(log),
      log_(log),
      text_(new QLineEdit(this)),
      hex_(new QCheckBox("&Hex bytes", this)),
      status_(new QLabel(this)) {
    setObjectName("FindDialog");
    setWindowTitle("Find in Log");
    text_->setObjectName("FindText");
    hex_->setObjectName("FindHex");
    hex_->setToolTip("Look for bytes written as hex pairs, such as 0A FF");
    auto* next = new QPushButton("&Next", this);
    auto* previous = new QPushButton("&Previous", this);
    auto* close = new QPushButton("Close", this);
    next->setDefault(true);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("Find:", this), 0, 0);
    layout->addWidget(text_, 0, 1, 1, 3);
    layout->addWidget(hex_, 1, 1);
    layout->addWidget(status_, 1, 2, 1, 2);
    layout->addWidget(previous, 2, 1);
    layout->addWidget(next, 2, 2);
    layout->addWidget(close, 2, 3);
    connect(next, &QPushButton::clicked, this, [this] { FindAgain(true); });
    connect(previous, &QPushButton::clicked, this, [this] { FindAgain(false); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void FindDialog::Open(const QString& text) {
    if (!text.isEmpty()) {
        text_->setText(text);
    }
    status_->clear();
    show();
    raise();
    activateWindow();
    text_->setFocus();
    text_->selectAll();
}

void FindDialog::FindAgain(bool forward) {
    const bool found = log_->Find(text_->text(), hex_->isChecked(), forward);
    status_->setText(found ? QString() : "Not found");
}

}  // namespace brantel
