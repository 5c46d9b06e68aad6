#pragma once

#include <QPlainTextEdit>
#include <QTextCursor>
#include <functional>
#include <string>

#include "text/colours.h"

namespace brantel {

// The traffic log `SerialMemo`: one coloured line per event on the serial link.
class TrafficLog : public QPlainTextEdit {
    Q_OBJECT
  public:
    // The log keeps at least this many of the newest lines and drops older ones.
    static constexpr int kMaxLines = 100000;

    explicit TrafficLog(QWidget* parent = nullptr);
    // `ready` tells whether start-up has finished; only then does the log follow its end.
    explicit TrafficLog(std::function<bool()> ready, QWidget* parent = nullptr);
    void SetReadyCheck(std::function<bool()> ready) { ready_ = std::move(ready); }

    // Appends text as one line in colour; an empty text adds nothing.
    void LogLine(const std::string& text, Colour colour);
    // Appends the bytes as a hex line in colour.
    void LogHex(const std::string& data, Colour colour);

    // Lines held, not counting the empty last line that follows every line.
    int LineCount() const;

  protected:
    // The selection shows only while the log has the focus; it comes back with the focus.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void SetCursorKeepingView(const QTextCursor& cursor);

    std::function<bool()> ready_;
    QTextCursor hiddenSelection_;
};

}  // namespace brantel
