#include "options/form_storage.h"

#include <algorithm>
#include <array>
#include <utility>

#include "options/screen_fit.h"
#include "platform/profile_store.h"
#include "text/integers.h"
#include "text/words.h"

namespace brantel {

namespace {

constexpr int kFormVersion = 0;

std::string TrimControlCharacters(std::string_view text) {
    const auto isControlOrBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && isControlOrBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isControlOrBlank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

std::int32_t ReadInteger(const ProfileStore& store, std::string_view key, std::int32_t fallback) {
    std::string text = store.ReadString(kOptionsSection, key, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.replace(0, 2, "$");
    }
    return ParseIntegerOr(text, fallback);
}

std::string FourIntegers(int a, int b, int c, int d) {
    return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
           std::to_string(d);
}

// The four numbers of a stored position; a missing or non-numeric one gives its fallback.
std::array<int, 4> FourIntegersOr(std::string_view value, const std::array<int, 4>& fallbacks) {
    const std::vector<std::string_view> words = Words(value, DelimiterSet(" ,"));
    std::array<int, 4> numbers = fallbacks;
    for (std::size_t i = 0; i < std::min(words.size(), numbers.size()); ++i) {
        numbers[i] = ParseIntegerOr(words[i], fallbacks[i]);
    }
    return numbers;
}

}  // namespace

std::string StoredPropKey(std::string_view name) {
    std::string key(name);
    std::replace(key.begin(), key.end(), '.', '_');
    return key;
}

FormStorage::FormStorage(PlacedWindow& window, std::vector<StoredProp> storedProps)
    : window_(window), storedProps_(std::move(storedProps)) {}

void FormStorage::SaveOptions() {
    if (!restored_) {
        return;
    }
    ProfileStore store(iniFileName_);
    store.WriteString(kOptionsSection, "FormVersion", std::to_string(kFormVersion));
    SavePlacement(store);
    store.WriteString(kOptionsSection, "Visible", destroying_ ? "1" : "0");
    for (const StoredProp& prop : storedProps_) {
        store.WriteString(kOptionsSection, StoredPropKey(prop.name),
                          TrimControlCharacters(prop.property.get().Text()));
    }
    saved_ = true;
}

void FormStorage::SavePlacement(ProfileStore& store) {
    WindowPlacement placement = window_.Placement();
    if (window_.IsApplicationMinimized()) {
        placement.showCmd = kShowMinimized;
    }
    store.WriteString(kOptionsSection, "Flags", std::to_string(placement.flags));
    store.WriteString(kOptionsSection, "ShowCmd", std::to_string(placement.showCmd));
    store.WriteString(kOptionsSection, "PixelsPerInch", std::to_string(window_.PixelsPerInch()));
    const std::string suffix = ScreenSuffix();
    const std::string minMax = FourIntegers(placement.minPosition.x, placement.minPosition.y,
                                            placement.maxPosition.x, placement.maxPosition.y);
    store.WriteString(kOptionsSection, "MinMaxPos" + suffix, minMax);
    store.WriteString(kOptionsSection, "MinMaxPos", minMax);
    const PlacementRect& rect = placement.normalRect;
    const std::string normal = FourIntegers(rect.left, rect.top, rect.right, rect.bottom);
    store.WriteString(kOptionsSection, "NormPos" + suffix, normal);
    store.WriteString(kOptionsSection, "NormPos", normal);
}

void FormStorage::RestoreOptions() {
    saved_ = false;
    const ProfileStore store(iniFileName_);
    if (ReadInteger(store, "FormVersion", kFormVersion) >= kFormVersion) {
        RestorePlacement(store);
        RestoreState(store);
        RestoreProperties(store);
    }
    restored_ = true;
    KeepMaximizedFrameOffScreen();
}

void FormStorage::RestorePlacement(const ProfileStore& store) {
    WindowPlacement placement = CurrentPlacement();
    placement.flags = ReadInteger(store, "Flags", placement.flags);
    // A position kept for this screen size, else the latest one saved at any size.
    const auto readPosition = [&](const std::string& key) {
        const std::string value = store.ReadString(kOptionsSection, key + ScreenSuffix(), "");
        return value.empty() ? store.ReadString(kOptionsSection, key, "") : value;
    };
    bool found = false;
    if (const std::string value = readPosition("MinMaxPos"); !value.empty()) {
        const auto [minX, minY, maxX, maxY] = FourIntegersOr(value, {0, 0, 0, 0});
        placement.minPosition = {minX, minY};
        placement.maxPosition = {maxX, maxY};
        found = true;
    }
    if (const std::string value = readPosition("NormPos"); !value.empty()) {
        PlacementRect& rect = placement.normalRect;
        const auto [left, top, right, bottom] =
            FourIntegersOr(value, {rect.left, rect.top, rect.right, rect.bottom});
        rect = {left, top, right, bottom};
        found = true;
    }
    // Positions from a screen of another pixel density would land in the wrong place.
    const int pixelsPerInch = window_.PixelsPerInch();
    if (ReadInteger(store, "PixelsPerInch", pixelsPerInch) != pixelsPerInch) {
        found = false;
    }
    if (found && placement.normalRect.right > placement.normalRect.left) {
        placement.normalRect = KeepOnScreens(placement.normalRect, window_.ScreenAreas());
        window_.ApplyPlacement(placement);
    }
}

void FormStorage::RestoreState(const ProfileStore& store) {
    switch (ReadInteger(store, "ShowCmd", 0)) {
        case 2:
        case 6:
        case 7:
            window_.SetWindowState(WindowState::kNormal);
            window_.MinimizeApplication();
            return;
        case 3:
            window_.SetWindowState(WindowState::kMaximized);
            break;
        default:
            window_.SetWindowState(WindowState::kNormal);
            break;
    }
    window_.Repaint();
}

void FormStorage::RestoreProperties(const ProfileStore& store) {
    restored_ = true;
    for (const StoredProp& prop : storedProps_) {
        RestoreStoredProp(store, prop);
    }
}

void RestoreStoredProp(const ProfileStore& store, const StoredProp& prop) {
    StoredProperty& property = prop.property.get();
    const std::string text =
        store.ReadString(kOptionsSection, StoredPropKey(prop.name), property.Text());
    // A value the property cannot hold leaves it as it is, unreported.
    (void)property.Assign(TrimControlCharacters(text));
}

void FormStorage::KeepMaximizedFrameOffScreen() {
    WindowPlacement placement = CurrentPlacement();
    const PlacementSize frame = window_.SizingFrame();
    placement.maxPosition = {-frame.width, -frame.height};
    window_.ApplyPlacement(placement);
}

void FormStorage::SaveAtDestruction() {
    if (saved_) {
        return;
    }
    destroying_ = true;
    try {
        SaveOptions();
    } catch (...) {
        destroying_ = false;
        throw;
    }
    destroying_ = false;
}

WindowPlacement FormStorage::CurrentPlacement() const {
    WindowPlacement placement = window_.Placement();
    if (!window_.IsVisible()) {
        placement.showCmd = kShowHidden;
    }
    return placement;
}

std::string FormStorage::ScreenSuffix() const {
    const PlacementSize screen = window_.ScreenSize();
    return "(" + std::to_string(screen.width) + "x" + std::to_string(screen.height) + ")";
}

}  // namespace brantel
