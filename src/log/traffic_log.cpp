#include "log/traffic_log.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <utility>

#include "qtbridge/local_text.h"
#include "qtbridge/qt_colour.h"
#include "text/hex_line.h"

namespace brantel {

namespace {

QFont LogFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontDatabase::hasFamily("Courier New")) {
        font.setFamily("Courier New");
    }
    font.setBold(true);
    font.setPixelSize(11);
    return font;
}

}  // namespace

TrafficLog::TrafficLog(QWidget* parent) : TrafficLog([] { return false; }, parent) {}

TrafficLog::TrafficLog(std::function<bool()> ready, QWidget* parent)
    : QPlainTextEdit(parent), ready_(std::move(ready)) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setFont(LogFont());
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // One block per line plus the empty last block; the document drops the oldest beyond that.
    setMaximumBlockCount(kMaxLines + 1);
}

void TrafficLog::LogLine(const std::string& text, Colour colour) {
    if (text.empty()) {
        return;
    }
    // A cursor of its own, so the user's caret and selection in the log stay where they are.
    // One edit block per line keeps appending linear in the log's length.
    QTextCursor end(document());
    end.beginEditBlock();
    end.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(ToQColor(colour));
    end.insertText(FromBytes(text), format);
    end.insertBlock();
    end.endEditBlock();
    if (!ready_()) {
        return;
    }
    // Follows the end without taking the input focus, so typing elsewhere is never disturbed.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TrafficLog::LogHex(const std::string& data, Colour colour) {
    LogLine(HexLine(data), colour);
}

void TrafficLog::SetCursorKeepingView(const QTextCursor& cursor) {
    const int top = verticalScrollBar()->value();
    const int left = horizontalScrollBar()->value();
    setTextCursor(cursor);
    verticalScrollBar()->setValue(top);
    horizontalScrollBar()->setValue(left);
}

void TrafficLog::focusInEvent(QFocusEvent* event) {
    if (!hiddenSelection_.isNull()) {
        SetCursorKeepingView(std::exchange(hiddenSelection_, QTextCursor()));
    }
    QPlainTextEdit::focusInEvent(event);
}

void TrafficLog::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // A context menu of its own keeps the selection it acts on.
    const QTextCursor cursor = textCursor();
    if (event->reason() != Qt::PopupFocusReason && cursor.hasSelection()) {
        hiddenSelection_ = cursor;
        QTextCursor caret = cursor;
        caret.clearSelection();
        SetCursorKeepingView(caret);
    }
}

int TrafficLog::LineCount() const {
    return document()->blockCount() - 1;
}

}  // namespace brantel
