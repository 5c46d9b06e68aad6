#pragma once

class QLineEdit;

namespace brantel {

// Marks the address box while its text gives the byte 00 for every `A` (not hexadecimal, or
// empty): a pale red ground, and why in its tooltip. The text keeps its colour, and what the box
// holds and what is sent stay as they are.
void WatchAddress(QLineEdit& box);
// Marks it now: for text set while its signals were blocked (options restored at start-up).
void ShowAddressWarning(QLineEdit& box);

}  // namespace brantel
