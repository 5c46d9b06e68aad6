#pragma once

#include <vector>

namespace brantel {

// Show states as they are stored under "ShowCmd".
inline constexpr int kShowHidden = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;

struct PlacementPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PlacementPoint&) const = default;
};

struct PlacementRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PlacementRect&) const = default;
};

struct PlacementSize {
    int width = 0;
    int height = 0;
    bool operator==(const PlacementSize&) const = default;
};

// Where the window is and how it is shown, in screen pixels.
struct WindowPlacement {
    int flags = 0;
    int showCmd = kShowNormal;
    PlacementPoint minPosition;
    PlacementPoint maxPosition;
    // The window's rectangle while neither minimized nor maximized.
    PlacementRect normalRect;
    bool operator==(const WindowPlacement&) const = default;
};

enum class WindowState { kNormal, kMinimized, kMaximized };

// The main window and its screen, as the stored options see them. The toolkit layer
// implements it over the real window.
class PlacedWindow {
  public:
    virtual ~PlacedWindow() = default;

    virtual WindowPlacement Placement() const = 0;
    // Moves and sizes the window to the placement; a show state of kShowHidden leaves a hidden
    // window hidden.
    virtual void ApplyPlacement(const WindowPlacement& placement) = 0;
    virtual bool IsVisible() const = 0;
    // Whether the application as a whole is minimized.
    virtual bool IsApplicationMinimized() const = 0;
    virtual PlacementSize ScreenSize() const = 0;
    // The area of each screen that windows may take (without panels and task bars).
    virtual std::vector<PlacementRect> ScreenAreas() const = 0;
    virtual int PixelsPerInch() const = 0;
    // The width and height of the window's sizing frame.
    virtual PlacementSize SizingFrame() const = 0;
    virtual void SetWindowState(WindowState state) = 0;
    virtual void MinimizeApplication() = 0;
    virtual void Repaint() = 0;
};

}  // namespace brantel
