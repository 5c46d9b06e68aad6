#include "stored_run.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "options/form_storage.h"
#include "options/stored_property.h"
#include "platform/ascii_case.h"
#include "platform/port_names.h"
#include "platform/profile_store.h"

namespace brantel::run {

namespace {

// "COM" and a decimal number, in any case: the number.
std::optional<int> ComNumber(std::string_view name) {
    constexpr std::string_view kCom = "COM";
    if (name.size() <= kCom.size() ||
        !std::equal(kCom.begin(), kCom.end(), name.begin(),
                    [](char com, char c) { return AsciiUpper(c) == com; })) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(kCom.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

StoredRun ReadStoredRun(const ProfileStore& store) {
    StoredRun stored;
    for (int row = 1; row <= kCommandRows; ++row) {
        stored.rows[static_cast<std::size_t>(row - 1)] =
            DecodeCommandRow(store.ReadString(kCommandSection, CommandKey(row), ""));
    }
    WholeNumberProperty port([&] { return stored.portNumber; },
                             [&](int number) { stored.portNumber = number; });
    TextProperty address([&] { return stored.address; },
                         [&](const std::string& text) { stored.address = text; });
    TextProperty parameters([&] { return stored.parameters; },
                            [&](const std::string& text) { stored.parameters = text; });
    for (const StoredProp& prop :
         {StoredProp{"PortNumber.Value", port}, StoredProp{"AddressEdit.Text", address},
          StoredProp{"Parameters.Text", parameters}}) {
        RestoreStoredProp(store, prop);
    }
    return stored;
}

std::string Cell(const std::vector<std::string>& cells, int column) {
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)]
                                                   : std::string();
}

PortChoice ChoosePort(const std::optional<std::string>& option, int storedNumber,
                      const ProfileStore& store, const std::optional<LineSettings>& line) {
    const std::optional<int> number = option ? ComNumber(*option) : storedNumber;
    PortChoice choice;
    if (!number) {
        choice = {*option, *option, 0, {}};
    } else {
        const std::string name = "COM" + std::to_string(*number);
        const std::optional<std::string> device = PortDevicePath(store, *number);
        if (!device) {
            throw std::runtime_error("there is no port " + name + ": the ports are COM1 to COM4");
        }
        choice = {name, *device, *number, PortLineSettings(store, *number)};
    }
    if (line) {
        choice.line = {*line, {}};
    }
    return choice;
}

}  // namespace brantel::run
