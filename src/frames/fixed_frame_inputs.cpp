#include "frames/fixed_frame_inputs.h"

namespace brantel {

std::string FixedFrameInputs::CurrentRowCell(int column) const {
    const int index = column - kFirstVariableColumn;
    if (index < 0 || index >= static_cast<int>(variables.size())) {
        return {};
    }
    return variables[index];
}

}  // namespace brantel
