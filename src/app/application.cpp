#include "app/application.h"

#include <QEvent>
#include <QMessageBox>
#include <QWidget>

#include "platform/executable_paths.h"
#include "text/error_text.h"

namespace brantel {
namespace {

// Carries one step through the event dispatch (see RunReported).
class StepEvent : public QEvent {
  public:
    explicit StepEvent(const std::function<void()>& step) : QEvent(kType), step_(step) {}
    static inline const QEvent::Type kType = static_cast<QEvent::Type>(QEvent::registerEventType());
    void Run() const { step_(); }

  private:
    const std::function<void()>& step_;
};

class StepRunner : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() != StepEvent::kType) {
            return QObject::event(event);
        }
        static_cast<StepEvent*>(event)->Run();
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
      title_(QString::fromLocal8Bit(ApplicationTitleFor(
          QCoreApplication::applicationFilePath().toLocal8Bit().toStdString()))),
      reporter_(ShowErrorBox) {
    setApplicationName(title_);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        Report(failure);
    }
    return false;
}

void Application::Report(const std::exception& failure) {
    // A held mouse (the port-number spin button) is let go first, so its auto-repeat stops.
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        QEvent cancel(QEvent::UngrabMouse);
        QCoreApplication::sendEvent(grabber, &cancel);
        grabber->releaseMouse();
    }
    reporter_(title_, QString::fromLocal8Bit(ErrorDisplayText(failure.what()).c_str()));
}

bool Application::RunReported(const std::function<void()>& step) {
    StepRunner runner;
    StepEvent event(step);
    return QCoreApplication::sendEvent(&runner, &event);
}

}  // namespace brantel
