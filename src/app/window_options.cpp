#include "app/window_options.h"

#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include <optional>
#include <vector>

#include "app/application.h"
#include "qtbridge/local_text.h"
#include "widgets/port_number_edit.h"

namespace brantel {
namespace {

TextProperty LineEditProperty(QLineEdit& edit) {
    return TextProperty([&edit] { return ToBytes(edit.text()); },
                        [&edit](const std::string& text) {
                            edit.setText(FromBytes(text));
                            Application::RethrowPending();
                        });
}

}  // namespace

// Qt has no minimized or maximized positions of its own: the maximized position the options
// set is kept here and reported back, and the minimized one is -1, -1.
//
// The stored rectangle is the outer one, frame included. A window manager frames the window
// only once it is shown, so a rectangle applied before then is applied again as soon as the
// frame's real size is known; otherwise the window would grow by its frame at every start.
class WindowOptions::QtPlacedWindow : public QObject, public PlacedWindow {
  public:
    explicit QtPlacedWindow(QWidget& form) : form_(form) { form_.installEventFilter(this); }

    WindowPlacement Placement() const override {
        WindowPlacement placement;
        placement.showCmd = form_.isMinimized()   ? kShowMinimized
                            : form_.isMaximized() ? kShowMaximized
                                                  : kShowNormal;
        placement.minPosition = {-1, -1};
        placement.maxPosition = maxPosition_;
        const QMargins frame = FrameMargins();
        const bool normal = !form_.isMinimized() && !form_.isMaximized();
        const QRect client = normal ? form_.geometry() : form_.normalGeometry();
        const QRect outer = client.marginsAdded(frame);
        placement.normalRect = {outer.left(), outer.top(), outer.right() + 1, outer.bottom() + 1};
        // Maximized before its frame was known, the window's own normal rectangle is not yet
        // the stored one: that is still waiting to be applied.
        if (wanted_ && !normal) {
            placement.normalRect = *wanted_;
        }
        return placement;
    }

    void ApplyPlacement(const WindowPlacement& placement) override {
        maxPosition_ = placement.maxPosition;
        // Qt keeps a maximized or minimized window's normal rectangle itself; moving it here
        // would undo the state on some window managers.
        if (form_.isMaximized() || form_.isMinimized() ||
            placement.normalRect == Placement().normalRect) {
            return;
        }
        wanted_ = placement.normalRect;
        PlaceFrame();
    }

    bool IsVisible() const override { return form_.isVisible(); }
    bool IsApplicationMinimized() const override { return form_.isMinimized(); }

    std::vector<PlacementRect> ScreenAreas() const override {
        std::vector<PlacementRect> areas;
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect area = screen->availableGeometry();
            areas.push_back({area.left(), area.top(), area.right() + 1, area.bottom() + 1});
        }
        return areas;
    }

    PlacementSize ScreenSize() const override {
        const QSize size = Screen()->geometry().size();
        return {size.width(), size.height()};
    }

    // Qt's high-DPI scaling divides the density by the scale factor; the stored value is the
    // screen's real one, so a change of scaling counts as another density.
    int PixelsPerInch() const override {
        const QScreen* screen = Screen();
        return static_cast<int>(
            std::lround(screen->logicalDotsPerInch() * screen->devicePixelRatio()));
    }

    PlacementSize SizingFrame() const override {
        const QMargins frame = FrameMargins();
        return {frame.left(), frame.bottom()};
    }

    void SetWindowState(WindowState state) override {
        form_.setWindowState(state == WindowState::kMaximized   ? Qt::WindowMaximized
                             : state == WindowState::kMinimized ? Qt::WindowMinimized
                                                                : Qt::WindowNoState);
    }

    void MinimizeApplication() override {
        // The window may not be shown yet during start-up: minimize once the loop runs.
        QTimer::singleShot(0, &form_, [this] { form_.showMinimized(); });
    }

    void Repaint() override { form_.update(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                            event->type() == QEvent::Show;
        // Moving a maximized window would take it out of that state; the rectangle waits
        // until the window is shown at its normal size.
        const bool normal = !form_.isMaximized() && !form_.isMinimized();
        if (wanted_ && placed && normal && FrameMargins() != placedWith_) {
            PlaceFrame();
            if (!placedWith_.isNull()) {
                wanted_.reset();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    // Moves the frame's corner to the wanted rectangle's and sizes the inside to fill it.
    void PlaceFrame() {
        placedWith_ = FrameMargins();
        const PlacementRect& r = *wanted_;
        form_.move(r.left, r.top);
        form_.resize(r.right - r.left - placedWith_.left() - placedWith_.right(),
                     r.bottom - r.top - placedWith_.top() - placedWith_.bottom());
    }

    QMargins FrameMargins() const {
        const QWindow* window = form_.windowHandle();
        return window ? window->frameMargins() : QMargins();
    }

    QScreen* Screen() const { return form_.screen(); }

    QWidget& form_;
    PlacementPoint maxPosition_{-1, -1};
    // The rectangle applied before the window's frame was known, and the frame it assumed.
    std::optional<PlacementRect> wanted_;
    QMargins placedWith_;
};

WindowOptions::WindowOptions(QWidget& window, PortNumberEdit& portNumber, QComboBox& portSpeed,
                             QLineEdit& address, QLineEdit& parameters)
    : window_(std::make_unique<QtPlacedWindow>(window)),
      portNumber_([&portNumber] { return portNumber.Value(); },
                  [&portNumber](int value) {
                      portNumber.SetValue(value);
                      Application::RethrowPending();
                  }),
      portSpeed_([&portSpeed] { return ToBytes(portSpeed.currentText()); },
                 [&portSpeed](const std::string& text) { portSpeed.setEditText(FromBytes(text)); }),
      address_(LineEditProperty(address)),
      parameters_(LineEditProperty(parameters)),
      storage_(*window_, {{kForm1StoredProps[0], portNumber_},
                          {kForm1StoredProps[1], portSpeed_},
                          {kForm1StoredProps[2], address_},
                          {kForm1StoredProps[3], parameters_}}) {}

WindowOptions::~WindowOptions() = default;

}  // namespace brantel
