#pragma once

#include <QColor>

#include "text/colours.h"

namespace brantel {

// The colour $00BBGGRR as Qt's colour.
QColor ToQColor(Colour colour);

}  // namespace brantel
