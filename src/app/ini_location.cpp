#include "app/ini_location.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "platform/executable_paths.h"
#include "platform/ini_choice.h"
#include "qtbridge/local_text.h"

namespace brantel {

std::string ResolveIniPath() {
    return ChooseIniPath(
        IniPathFor(ToBytes(QCoreApplication::applicationFilePath())),
        ToBytes(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
}

}  // namespace brantel
