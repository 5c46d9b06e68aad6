#include "values_file.h"

#include <filesystem>
#include <stdexcept>

#include "run_report.h"

namespace brantel::run {

ValuesFile::ValuesFile(const std::string& path) {
    if (path.empty()) {
        return;
    }
    std::error_code error;
    const bool empty =
        !std::filesystem::exists(path, error) || std::filesystem::file_size(path, error) == 0;
    file_.open(path, std::ios::app | std::ios::binary);
    if (!file_ || (empty && !(file_ << kValuesHeader << std::flush))) {
        throw std::runtime_error("cannot write the values file '" + path + "'");
    }
}

void ValuesFile::Append(const RowOutcome& outcome) {
    if (file_.is_open() && !outcome.fields.empty()) {
        file_ << ValueLines(outcome) << std::flush;
    }
}

}  // namespace brantel::run
