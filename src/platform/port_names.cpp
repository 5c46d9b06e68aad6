#include "platform/port_names.h"

#include "platform/profile_store.h"

namespace brantel {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 4;

}  // namespace

std::string DefaultDevicePath(int number) {
#ifdef _WIN32
    return "COM" + std::to_string(number);
#else
    return "/dev/ttyS" + std::to_string(number - 1);
#endif
}

std::optional<std::string> PortDevicePath(const ProfileStore& store, int number) {
    if (number < kFirstPort || number > kLastPort) {
        return std::nullopt;
    }
    return store.ReadString("Ports", "COM" + std::to_string(number), DefaultDevicePath(number));
}

std::string PortLineKey(int number) {
    return "COM" + std::to_string(number) + "Line";
}

PortLine PortLineSettings(const ProfileStore& store, int number) {
    PortLine line;
    const std::string key = PortLineKey(number);
    const std::string text = store.ReadString("Ports", key, "");
    if (text.empty()) {
        return line;
    }
    try {
        line.settings = ParseLineSettings(text);
    } catch (const LineSettingsError& error) {
        line.problem = key + ": " + error.what() + "; the line runs at " +
                       LineSettingsText(line.settings) + " instead";
    }
    return line;
}

}  // namespace brantel
