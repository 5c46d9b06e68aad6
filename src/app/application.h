#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace brantel {

// Shows one failure to the user: the caption and the message as the error box shows them.
using ErrorReporter = std::function<void(const QString& caption, const QString& text)>;

// The application object. Its event dispatch is the one place where a failure escaping any
// handler is caught and reported; the program then carries on with the next event.
class Application : public QApplication {
    Q_OBJECT
  public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The caption of every error box, derived from the executable's file name.
    const QString& Title() const { return title_; }
    void SetErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }

    // Runs one step through the event dispatch, so a failure in it is reported like any
    // other; true when the step ran to its end.
    static bool RunReported(const std::function<void()>& step);

  private:
    void Report(const std::exception& failure);

    QString title_;
    ErrorReporter reporter_;
};

}  // namespace brantel
