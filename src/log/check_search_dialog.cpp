#include "log/check_search_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <span>

#include "checks/check_search.h"
#include "qtbridge/local_text.h"
#include "text/hex_line.h"

namespace brantel {
namespace {

// The frame's bytes are shown on one line; a longer frame loses its middle.
constexpr int kFrameWidthChars = 60;
// The search takes some 60 us a byte: a longer line would hold the window for a quarter of a
// second or more, and a command frame is seldom that long.
constexpr std::size_t kMaxSearchedBytes = 4096;

}  // namespace

CheckSearchDialog::CheckSearchDialog(QWidget* parent)
    : QDialog(parent),
      frame_(new QLabel(this)),
      found_(new QTreeWidget(this)),
      verdict_(new QLabel(this)),
      status_(new QLabel(this)),
      copy_(new QPushButton("&Copy Token", this)),
      close_(new QPushButton("Close", this)) {
    setObjectName("CheckSearchDialog");
    setWindowTitle("Find Check");
    frame_->setObjectName("CheckFrame");
    frame_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    found_->setObjectName("FoundChecks");
    found_->setHeaderLabels({"Token", "Description"});
    found_->setRootIsDecorated(false);
    found_->setUniformRowHeights(true);
    found_->setAllColumnsShowFocus(true);
    found_->header()->setStretchLastSection(true);
    found_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    verdict_->setObjectName("CheckVerdict");
    verdict_->setWordWrap(true);
    status_->setObjectName("CheckStatus");
    copy_->setObjectName("CopyToken");
    copy_->setToolTip("Puts the selected token on the clipboard, to write in a Command cell");
    copy_->setDefault(true);
    close_->setObjectName("CloseCheckSearch");
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(copy_, QDialogButtonBox::ActionRole);
    buttons->addButton(close_, QDialogButtonBox::RejectRole);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addWidget(found_, 1);
    layout->addWidget(verdict_);
    layout->addLayout(bottom);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(copy_, &QPushButton::clicked, this, &CheckSearchDialog::CopyToken);
    connect(found_, &QTreeWidget::itemActivated, this, &CheckSearchDialog::CopyToken);
    resize(560, 280);
}

void CheckSearchDialog::Open(const std::string& frame) {
    const QFontMetrics metrics = fontMetrics();
    frame_->setText(QString("Frame of %1 %2: %3")
                        .arg(frame.size())
                        .arg(frame.size() == 1 ? "byte" : "bytes")
                        .arg(metrics.elidedText(
                            FromBytes(HexLine(frame)).trimmed(), Qt::ElideMiddle,
                            metrics.horizontalAdvance(QLatin1Char('0')) * kFrameWidthChars)));
    found_->clear();
    const bool searched = frame.size() <= kMaxSearchedBytes;
    if (searched) {
        for (const CheckToken& check : FindChecks(std::span(&frame, 1))) {
            found_->addTopLevelItem(new QTreeWidgetItem(
                {FromBytes(check.Text()), FromBytes(check.algorithm.Description())}));
        }
    }
    const bool any = found_->topLevelItemCount() > 0;
    found_->setEnabled(any);
    found_->setCurrentItem(found_->topLevelItem(0));
    copy_->setEnabled(any);
    if (any) {
        verdict_->setText(
            "From one frame a short check may hold by chance: give brantel-frame --find-check "
            "two frames or more to be sure.");
    } else if (searched) {
        verdict_->setText("No check found: no check Brantel knows ends this frame.");
    } else {
        verdict_->setText(QString("Not searched: Find Check takes frames of up to %1 bytes.")
                              .arg(kMaxSearchedBytes));
    }
    status_->clear();
    show();
    raise();
    activateWindow();
    (any ? static_cast<QWidget*>(found_) : close_)->setFocus();
}

void CheckSearchDialog::CopyToken() {
    if (const QTreeWidgetItem* item = found_->currentItem()) {
        QGuiApplication::clipboard()->setText(item->text(0));
        status_->setText("Copied " + item->text(0));
    }
}

}  // namespace brantel
