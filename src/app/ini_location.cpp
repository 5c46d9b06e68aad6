#include "app/ini_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/executable_paths.h"

namespace brantel {
namespace {

bool Writable(const QString& path) {
    const QFileInfo file(path);
    return file.exists() ? file.isWritable() : QFileInfo(file.absolutePath()).isWritable();
}

}  // namespace

std::string ResolveIniPath() {
    const std::string beside =
        IniPathFor(QCoreApplication::applicationFilePath().toLocal8Bit().toStdString());
    if (Writable(QString::fromLocal8Bit(beside.c_str()))) {
        return beside;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return (folder + "/brantel.ini").toLocal8Bit().toStdString();
}

}  // namespace brantel
