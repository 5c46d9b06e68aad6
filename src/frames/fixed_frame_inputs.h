#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frames/frame_builder.h"
#include "frames/named_params.h"

namespace brantel {

// Frame inputs held as plain values: the address text, a named-parameter table and the variable
// cells of one command row from its first variable column on; every other cell is empty.
class FixedFrameInputs : public FrameInputs {
  public:
    std::string address = "50";
    NamedParamTable params;
    std::vector<std::string> variables;

    std::string AddressText() const override { return address; }
    const NamedParam* LookupNamedParam(std::string_view token) const override {
        return params.LookupNamedParam(token);
    }
    std::string CurrentRowCell(int column) const override;
};

}  // namespace brantel
