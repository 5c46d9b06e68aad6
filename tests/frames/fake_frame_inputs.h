#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frames/frame_builder.h"
#include "frames/named_params.h"

namespace brantel {

// A command row holding `variables` from its first variable column on, recording every read the
// builder makes.
class FakeFrameInputs : public FrameInputs {
  public:
    std::string address = "50";
    NamedParamTable params;
    std::vector<std::string> variables;

    mutable int addressReads = 0;
    mutable std::vector<int> columnsRead;

    std::string AddressText() const override {
        ++addressReads;
        return address;
    }
    const NamedParam* LookupNamedParam(std::string_view token) const override {
        return params.LookupNamedParam(token);
    }
    std::string CurrentRowCell(int column) const override {
        columnsRead.push_back(column);
        const int index = column - kFirstVariableColumn;
        if (index < 0 || index >= static_cast<int>(variables.size())) {
            return {};
        }
        return variables[index];
    }
};

}  // namespace brantel
