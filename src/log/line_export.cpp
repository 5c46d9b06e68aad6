#include "log/line_export.h"

#include <QDateTime>
#include <QSaveFile>

#include "qtbridge/local_text.h"
#include "qtbridge/qt_colour.h"

namespace brantel {
namespace {

constexpr std::size_t kStepLines = 4096;

QByteArray LineBytes(const StoredLine& line, LineFormat format, bool timeStamps) {
    QString text = FromBytes(ShownText(line));
    if (format == LineFormat::kText) {
        text.prepend(LineMarker(line.colour, text));
    }
    if (timeStamps) {
        text.prepend(QDateTime::fromMSecsSinceEpoch(line.timeMs).toString("hh:mm:ss.zzz "));
    }
    if (format == LineFormat::kText) {
        return text.toUtf8() + '\n';
    }
    return "<span style=\"color:" + ToQColor(line.colour).name().toUtf8() + "\">" +
           text.toHtmlEscaped().toUtf8() + "</span>\n";
}

}  // namespace

QString LineMarker(Colour colour, const QString& text) {
    switch (colour) {
        case kSentRed:
            return "> ";
        case kReceivedBlue:
            return "< ";
        case kAnnotationTeal:
            // Annotations mostly start with their own "//".
            return text.startsWith("//") ? "" : "// ";
        default:
            return "-- ";
    }
}

QString WithFilterExtension(const QString& path, const QString& filter) {
    const qsizetype open = filter.indexOf("(*.");
    if (open < 0) {
        return path;
    }
    const QStringList patterns = filter.mid(open + 1).chopped(1).split(' ', Qt::SkipEmptyParts);
    for (const QString& pattern : patterns) {
        if (path.endsWith(pattern.mid(1), Qt::CaseInsensitive)) {
            return path;
        }
    }
    return path + patterns.front().mid(1);
}

std::optional<QString> SaveLines(const LineStore& lines, const QString& path, LineFormat format,
                                 bool timeStamps, const std::function<bool(std::size_t)>& step) {
    QSaveFile file(path);
    const auto failure = [&] { return "Unable to write to " + path + ": " + file.errorString(); };
    if (!file.open(QIODevice::WriteOnly)) {
        return failure();
    }
    if (format == LineFormat::kHtml) {
        file.write(
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
            "<title>Traffic log</title></head>\n<body><pre style=\"font-family:'Courier "
            "New',monospace;font-weight:bold\">\n");
    }
    for (std::size_t index = 0; index < lines.Size(); ++index) {
        if (file.write(LineBytes(lines.At(index), format, timeStamps)) < 0) {
            return failure();
        }
        if ((index + 1) % kStepLines == 0 && !step(index + 1)) {
            file.cancelWriting();
            return std::nullopt;
        }
    }
    if (format == LineFormat::kHtml) {
        file.write("</pre></body></html>\n");
    }
    step(lines.Size());
    if (!file.commit()) {
        return failure();
    }
    return std::nullopt;
}

}  // namespace brantel
