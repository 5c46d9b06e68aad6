#include "widgets/chart_files.h"

#include <QPixmap>
#include <QSaveFile>
#include <QWidget>
#include <ostream>
#include <streambuf>

#include "samples/chart_samples.h"

namespace brantel {
namespace {

// A stream's bytes straight into the file: a day's CSV runs to hundreds of megabytes, too many
// to gather in memory first.
class FileBuffer : public std::streambuf {
  public:
    explicit FileBuffer(QSaveFile& file) : file_(file) {}

  protected:
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        return file_.write(bytes, count) == count ? count : 0;
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        const char byte = traits_type::to_char_type(c);
        return file_.write(&byte, 1) == 1 ? c : traits_type::eof();
    }

  private:
    QSaveFile& file_;
};

QString Failure(const QString& path, const QSaveFile& file) {
    return "Unable to write to " + path + ": " + file.errorString();
}

}  // namespace

std::optional<QString> SaveChartCsv(const ChartSamples& samples,
                                    const std::vector<std::size_t>& columns, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Failure(path, file);
    }
    FileBuffer buffer(file);
    std::ostream out(&buffer);
    if (!samples.WriteCsv(out, columns)) {
        file.cancelWriting();
        return Failure(path, file);
    }
    if (!file.commit()) {
        return Failure(path, file);
    }
    return std::nullopt;
}

std::optional<QString> SaveWidgetPng(QWidget& widget, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Failure(path, file);
    }
    if (!widget.grab().save(&file, "PNG")) {
        file.cancelWriting();
        return "Unable to write to " + path + ": the picture could not be encoded";
    }
    if (!file.commit()) {
        return Failure(path, file);
    }
    return std::nullopt;
}

}  // namespace brantel
