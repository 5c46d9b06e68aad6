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

}  // namespace brantel
