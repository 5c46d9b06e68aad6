#include "app/application.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMessageBox>
#include <QWidget>
#include <utility>

#include "platform/executable_paths.h"
#include "qtbridge/local_text.h"
#include "text/error_text.h"

namespace brantel {
namespace {

// Carries one step through the event dispatch (see RunReported).
class StepEvent : public QEvent {
  public:
    explicit StepEvent(const std::function<void()>& step) : QEvent(kType), step_(step) {}
    static inline const QEvent::Type kType = static_cast<QEvent::Type>(QEvent::registerEventType());
    const std::function<void()>& Step() const { return step_; }

  private:
    const std::function<void()>& step_;
};

class StepRunner : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() != StepEvent::kType) {
            return QObject::event(event);
        }
        Application::Guard(static_cast<StepEvent*>(event)->Step());
        return true;
    }
};

void ShowErrorBox(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv),
      title_(FromBytes(ApplicationTitleFor(ToBytes(QCoreApplication::applicationFilePath())))),
      reporter_(ShowErrorBox) {
    setApplicationName(title_);
}

Application* Application::Instance() {
    return static_cast<Application*>(QCoreApplication::instance());
}

bool Application::notify(QObject* receiver, QEvent* event) {
    // A failure kept by an outer dispatch stays with it; this one reports only its own.
    std::exception_ptr outer = std::exchange(pending_, nullptr);
    bool handled = false;
    try {
        handled = QApplication::notify(receiver, event);
    } catch (...) {
        pending_ = std::current_exception();
    }
    const std::exception_ptr failure = std::exchange(pending_, std::move(outer));
    if (!failure) {
        return handled;
    }
    Report(failure);
    return false;
}

void Application::Guard(const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (...) {
        Instance()->pending_ = std::current_exception();
    }
}

void Application::RethrowPending() {
    if (std::exception_ptr failure = std::exchange(Instance()->pending_, nullptr)) {
        std::rethrow_exception(failure);
    }
}

void Application::Press(QAbstractButton* button) {
    button->click();
    RethrowPending();
}

void Application::Report(const std::exception_ptr& failure) {
    // A held mouse (the port-number spin button) is let go first, so its auto-repeat stops.
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        QEvent cancel(QEvent::UngrabMouse);
        QCoreApplication::sendEvent(grabber, &cancel);
        grabber->releaseMouse();
    }
    std::string message;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
        message = "Unknown failure";
    }
    reporter_(title_, FromBytes(ErrorDisplayText(message)));
}

bool Application::RunReported(const std::function<void()>& step) {
    StepRunner runner;
    StepEvent event(step);
    return QCoreApplication::sendEvent(&runner, &event);
}

}  // namespace brantel
