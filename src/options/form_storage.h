#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "options/placed_window.h"
#include "options/stored_property.h"

namespace brantel {

class ProfileStore;

inline constexpr char kOptionsSection[] = "TForm1";

// A control value kept by the stored options: "<control>.<property>" and its access.
struct StoredProp {
    std::string name;
    std::reference_wrapper<StoredProperty> property;
};

// The main window's stored properties, in the order they are saved and restored.
inline constexpr const char* kForm1StoredProps[] = {"PortNumber.Value", "PortSpeed.Text",
                                                    "AddressEdit.Text", "Parameters.Text"};

// The key a stored property is kept under: the name with "." turned into "_".
std::string StoredPropKey(std::string_view name);

// Gives the property its stored value, blanks and control characters around it removed; a
// missing key or a value the property cannot hold leaves it as it is.
void RestoreStoredProp(const ProfileStore& store, const StoredProp& prop);

// The stored options `FormStorage1`: the main window's placement and a few control values in
// section "TForm1" of the INI file. Every key is read or written through the profile store at
// the moment it is needed.
class FormStorage {
  public:
    FormStorage(PlacedWindow& window, std::vector<StoredProp> storedProps);

    void SetIniFileName(std::string path) { iniFileName_ = std::move(path); }
    const std::string& IniFileName() const { return iniFileName_; }
    const std::vector<StoredProp>& StoredProps() const { return storedProps_; }

    // Set by every restore; nothing is saved before the first one.
    bool Restored() const { return restored_; }
    // Set by every completed save, cleared by every restore.
    bool Saved() const { return saved_; }
    // True only while the save at destruction runs.
    bool Destroying() const { return destroying_; }

    // Writes the section key by key. A failed write raises the store's error; the keys written
    // before it stay, and the save does not count as completed.
    void SaveOptions();
    // Reads the section and applies it to the window and the stored properties.
    void RestoreOptions();
    // The save when the window is destroyed: only when nothing was saved since the last
    // restore, with "Visible" written as 1.
    void SaveAtDestruction();

  private:
    void SavePlacement(ProfileStore& store);
    void RestorePlacement(const ProfileStore& store);
    void RestoreState(const ProfileStore& store);
    void RestoreProperties(const ProfileStore& store);
    void KeepMaximizedFrameOffScreen();
    // The window's placement, with the show state hidden while the window is not visible.
    WindowPlacement CurrentPlacement() const;
    std::string ScreenSuffix() const;

    PlacedWindow& window_;
    std::vector<StoredProp> storedProps_;
    std::string iniFileName_;
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
};

}  // namespace brantel
