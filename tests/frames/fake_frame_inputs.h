#pragma once

#include <string>
#include <vector>

#include "frames/fixed_frame_inputs.h"

namespace brantel {

// Fixed inputs that record every read the builder makes.
class FakeFrameInputs : public FixedFrameInputs {
  public:
    mutable int addressReads = 0;
    mutable std::vector<int> columnsRead;

    std::string AddressText() const override {
        ++addressReads;
        return FixedFrameInputs::AddressText();
    }
    std::string CurrentRowCell(int column) const override {
        columnsRead.push_back(column);
        return FixedFrameInputs::CurrentRowCell(column);
    }
};

}  // namespace brantel
