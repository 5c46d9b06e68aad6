#pragma once

#include <vector>

#include "options/placed_window.h"

namespace brantel::test {

// The main window at its designed place on a 1280 x 1024 screen at 96 pixels per inch,
// recording what the stored options do to it.
class FakeWindow : public PlacedWindow {
  public:
    WindowPlacement placement{0, kShowNormal, {-1, -1}, {-1, -1}, {184, 99, 975, 712}};
    bool visible = false;
    bool applicationMinimized = false;
    PlacementSize screen{1280, 1024};
    std::vector<PlacementRect> screenAreas{{0, 0, 1280, 1024}};
    int pixelsPerInch = 96;
    PlacementSize frame{4, 4};

    std::vector<WindowPlacement> applied;
    std::vector<WindowState> states;
    int minimizeCalls = 0;
    int repaints = 0;

    WindowPlacement Placement() const override { return placement; }
    void ApplyPlacement(const WindowPlacement& next) override {
        applied.push_back(next);
        const int showCmd = placement.showCmd;
        placement = next;
        if (next.showCmd == kShowHidden) {
            placement.showCmd = showCmd;
        }
    }
    bool IsVisible() const override { return visible; }
    bool IsApplicationMinimized() const override { return applicationMinimized; }
    PlacementSize ScreenSize() const override { return screen; }
    std::vector<PlacementRect> ScreenAreas() const override { return screenAreas; }
    int PixelsPerInch() const override { return pixelsPerInch; }
    PlacementSize SizingFrame() const override { return frame; }
    void SetWindowState(WindowState state) override {
        states.push_back(state);
        placement.showCmd = state == WindowState::kMaximized ? kShowMaximized : kShowNormal;
    }
    void MinimizeApplication() override { ++minimizeCalls; }
    void Repaint() override { ++repaints; }
};

// A control whose change handling counts the changes of its value.
template <typename T>
struct FakeControl {
    T value;
    int changes = 0;
    void Set(const T& next) {
        if (next != value) {
            value = next;
            ++changes;
        }
    }
};

}  // namespace brantel::test
