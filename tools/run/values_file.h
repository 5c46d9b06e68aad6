#pragma once

#include <fstream>
#include <string>

#include "row_run.h"

namespace brantel::run {

// The CSV file the values read from answers are appended to, a row's lines as soon as its
// answer is judged, so an interrupted run keeps what it read.
class ValuesFile {
  public:
    // Opens `path` for appending, with the header line when the file is new or empty; no file
    // for an empty path. Throws std::runtime_error when it cannot be written.
    explicit ValuesFile(const std::string& path);

    void Append(const RowOutcome& outcome);

  private:
    std::ofstream file_;
};

}  // namespace brantel::run
