#include "app/ini_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "log/local_text.h"
#include "platform/executable_paths.h"

namespace brantel {
namespace {

bool Writable(const QString& path) {
    const QFileInfo file(path);
    return file.exists() ? file.isWritable() : QFileInfo(file.absolutePath()).isWritable();
}

}  // namespace

std::string ResolveIniPath() {
    const std::string beside = IniPathFor(ToBytes(QCoreApplication::applicationFilePath()));
    if (Writable(FromBytes(beside))) {
        return beside;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return ToBytes(folder + "/brantel.ini");
}

}  // namespace brantel
