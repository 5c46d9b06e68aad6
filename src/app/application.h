#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

class QAbstractButton;

namespace brantel {

// Shows one failure to the user: the caption and the message as the error box shows them.
using ErrorReporter = std::function<void(const QString& caption, const QString& text)>;

// The application object. Its event dispatch is the one place where a failure of any handler
// is reported; the program then carries on with the next event.
//
// A failure never unwinds through the toolkit's own frames (they are built without exception
// support and would skip their clean-up): every handler the toolkit calls runs inside Guard,
// which keeps the failure until control is back in this object's dispatch, or in the code that
// pressed a button and goes on to rethrow it.
class Application : public QApplication {
    Q_OBJECT
  public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The caption of every error box, derived from the executable's file name.
    const QString& Title() const { return title_; }
    void SetErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }

    // Runs a handler called by the toolkit; a failure in it is kept for the dispatch.
    static void Guard(const std::function<void()>& handler) noexcept;
    // Rethrows the failure a handler kept while the toolkit ran it from the caller's request.
    static void RethrowPending();
    // Presses a button from code: its click handler runs at once, and a failure in it
    // continues in the caller.
    static void Press(QAbstractButton* button);

    // Runs one step through the event dispatch, so a failure in it is reported like any
    // other; true when the step ran to its end.
    static bool RunReported(const std::function<void()>& step);

  private:
    static Application* Instance();
    void Report(const std::exception_ptr& failure);

    QString title_;
    ErrorReporter reporter_;
    std::exception_ptr pending_;
};

}  // namespace brantel
