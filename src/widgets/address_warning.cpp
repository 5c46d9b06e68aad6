#include "widgets/address_warning.h"

#include <QLineEdit>
#include <QPalette>

#include "frames/frame_explanation.h"
#include "qtbridge/local_text.h"

namespace brantel {

void WatchAddress(QLineEdit& box) {
    // The box is two digits wide: a sign inside it would hide them, so its ground says it.
    const QColor plain = box.palette().color(QPalette::Base);
    const auto show = [&box, plain] {
        const auto warning = AddressWarning(ToBytes(box.text()));
        QPalette palette = box.palette();
        palette.setColor(QPalette::Base, warning ? QColor(0xFF, 0xD8, 0xD8) : plain);
        box.setPalette(palette);
        box.setToolTip(warning ? FromBytes(*warning) : QString());
    };
    QObject::connect(&box, &QLineEdit::textChanged, &box, show);
    show();
}

}  // namespace brantel
