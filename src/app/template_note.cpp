#include "app/template_note.h"

#include "frames/explanation_table.h"
#include "frames/frame_explanation.h"
#include "qtbridge/local_text.h"

namespace brantel {

CommandNote TemplateNote(std::string_view frameTemplate, const FrameInputs& inputs,
                         bool withToolTip) {
    if (frameTemplate.find_first_not_of(' ') == std::string_view::npos) {
        return {};
    }
    const FrameExplanation explanation = ExplainFrame(frameTemplate, inputs);
    CommandNote note;
    note.mark = !explanation.built             ? CommandNote::Mark::Error
                : explanation.warnings.empty() ? CommandNote::Mark::None
                                               : CommandNote::Mark::Warning;
    if (withToolTip) {
        // Rich text keeps the table's columns in a fixed-width font.
        note.toolTip =
            "<pre>" + FromBytes(ExplanationTable(explanation)).toHtmlEscaped() + "</pre>";
    }
    return note;
}

}  // namespace brantel
