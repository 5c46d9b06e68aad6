#include "widgets/address_warning.h"

#include <QLineEdit>
#include <QPalette>

#include "frames/frame_explanation.h"
#include "qtbridge/local_text.h"

namespace brantel {

namespace {

const char kPlainGround[] = "brantelPlainGround";

}  // namespace

void ShowAddressWarning(QLineEdit& box) {
    const auto warning = AddressWarning(ToBytes(box.text()));
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, warning ? QColor(0xFF, 0xD8, 0xD8)
                                             : box.property(kPlainGround).value<QColor>());
    box.setPalette(palette);
    box.setToolTip(warning ? FromBytes(*warning) : QString());
}

void WatchAddress(QLineEdit& box) {
    // The box is two digits wide: a sign inside it would hide them, so its ground says it.
    box.setProperty(kPlainGround, box.palette().color(QPalette::Base));
    QObject::connect(&box, &QLineEdit::textChanged, &box, [&box] { ShowAddressWarning(box); });
    ShowAddressWarning(box);
}

}  // namespace brantel
