#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "row_run.h"

namespace brantel::run {

struct RunTotals {
    int passed = 0;
    int failed = 0;
    int skipped = 0;
    int errors = 0;
};

RunTotals Totals(const std::vector<RowOutcome>& outcomes);

// "3 | Read register | sent 50 03 05 10 68 | received 50 03 06 10 EF 58 | PASS", with the
// fields' values after PASS ("PASS T=21.5") and the reason after FAIL, SKIP or ERROR.
std::string RowLine(const RowOutcome& outcome);
// "N passed, N failed, N skipped", and ", N errors" when there are any.
std::string SummaryLine(const RunTotals& totals);

// A JUnit XML report: one suite named `suite`, one test case per row, a failure element for
// each failed row, a skipped element for each skipped one and an error element for each row
// the run could not carry out.
std::string JUnitReport(const std::vector<RowOutcome>& outcomes, std::string_view suite);

// The CSV lines of a row's values, "time,row,field,value" with the time in ISO 8601 (UTC, with
// milliseconds); the header line names the columns.
extern const char kValuesHeader[];
std::string ValueLines(const RowOutcome& outcome);

// Text fit for XML character data and attribute values: markup characters escaped, bytes that
// are not UTF-8 and characters XML does not allow replaced by U+FFFD.
std::string XmlText(std::string_view text);

}  // namespace brantel::run
