#include "serial/found_ports.h"

#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace brantel {
namespace {

namespace fs = std::filesystem;

// The device each /dev/serial/by-id name points at, so a USB adapter keeps its name whichever
// ttyUSB number it gets when plugged in again.
std::map<std::string, std::string> StableNames() {
    std::map<std::string, std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev/serial/by-id", error)) {
        const fs::path target = fs::canonical(entry.path(), error);
        if (!error) {
            names.emplace(target.string(), entry.path().string());
        }
    }
    return names;
}

std::string DetailsOf(const QSerialPortInfo& info) {
    QStringList parts{info.systemLocation()};
    for (const QString& part : {info.description(), info.manufacturer(), info.serialNumber()}) {
        if (!part.isEmpty()) {
            parts << part;
        }
    }
    if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
        parts << QString("%1:%2")
                     .arg(info.vendorIdentifier(), 4, 16, QChar('0'))
                     .arg(info.productIdentifier(), 4, 16, QChar('0'));
    }
    return parts.join(", ").toLocal8Bit().toStdString();
}

}  // namespace

std::vector<FoundPort> FindSerialPorts() {
    const std::map<std::string, std::string> stable = StableNames();
    std::vector<FoundPort> found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string location = info.systemLocation().toLocal8Bit().toStdString();
        const auto name = stable.find(location);
        found.push_back({name != stable.end() ? name->second : location, DetailsOf(info)});
    }
    std::stable_sort(found.begin(), found.end(), [](const FoundPort& a, const FoundPort& b) {
        return a.path.starts_with("/dev/serial/") > b.path.starts_with("/dev/serial/");
    });
    return found;
}

}  // namespace brantel
