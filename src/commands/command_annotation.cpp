#include "commands/command_annotation.h"

#include "commands/command_row.h"
#include "text/strings.h"

namespace brantel {

std::string CommandAnnotation(const std::function<std::string(int column)>& cell) {
    std::string values;
    for (int column = kFirstVariableColumn; column < kFirstVariableColumn + kAnnotatedVariables;
         ++column) {
        const std::string value = RemoveSpaces(cell(column));
        if (value.empty()) {
            break;
        }
        values += (values.empty() ? " (" : ",") + value;
    }
    if (!values.empty()) {
        values += ")";
    }
    return "// " + cell(kDescriptionColumn) + values + " :";
}

}  // namespace brantel
