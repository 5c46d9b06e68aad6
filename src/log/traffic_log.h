#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "log/line_search.h"
#include "log/line_store.h"
#include "log/received_frames.h"
#include "log/recent_row_counts.h"
#include "log/row_painter.h"
#include "text/colours.h"

class QAction;

namespace brantel {

class CheckSearchDialog;
class FindDialog;
class SteadyScrollBar;

// A place in the log: a line by its number (it keeps it while older lines go) and a character
// of what it shows.
struct LogPlace {
    std::uint64_t line = 0;
    int column = 0;
    auto operator<=>(const LogPlace&) const = default;
};

// A row of the log's screen layout: a line by its number and a row it wraps to.
struct RowPlace {
    std::uint64_t line = 0;
    int row = 0;
    auto operator<=>(const RowPlace&) const = default;
};

// The traffic log `SerialMemo`: one coloured line per event on the serial link. Lines are kept
// as they arrived and drawn only while on screen, wrapped to the width. It reads like a
// read-only text view (selection, copy, find) and never takes the focus by itself.
class TrafficLog : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit TrafficLog(QWidget* parent = nullptr);
    // `ready` tells whether start-up has finished; only then does the log follow its end.
    explicit TrafficLog(std::function<bool()> ready, QWidget* parent = nullptr);
    ~TrafficLog() override;
    void SetReadyCheck(std::function<bool()> ready) { ready_ = std::move(ready); }

    // Appends text as one line in colour; an empty text adds nothing.
    void LogLine(const std::string& text, Colour colour);
    // Appends the bytes as a hex line in colour; no bytes add nothing.
    void LogHex(const std::string& data, Colour colour);
    // Appends bytes received: a hex line of their own, or, with received frames split by gap,
    // part of the frame being received, which becomes a line stamped with the arrival of its
    // first byte once the line has been idle for the gap (or another line comes).
    void LogReceived(const std::string& data);

    // Lines held.
    int LineCount() const { return static_cast<int>(store_.Size()); }
    // What line `index` (0 the oldest held) shows, its time stamp first when they are on.
    QString LineText(int index) const;
    Colour LineColour(int index) const { return store_.At(static_cast<std::size_t>(index)).colour; }
    const LineStore& Lines() const { return store_; }

    // The selected text as it is copied: each line that the selection passes the end of ends
    // in CR LF.
    QString SelectedText() const;
    void Select(LogPlace from, LogPlace to);
    void SelectAll();
    void Copy() const;
    // Whether new lines bring the end into view (the user has not scrolled up to read).
    bool Following() const { return following_; }
    // The first line on screen.
    int TopLine() const;
    // The character of what the screen shows at a point of the viewport: past the end of a row,
    // its end; below the last line, the end of that line. nullopt for an empty log.
    std::optional<LogPlace> PlaceAt(QPoint point) const;

    bool TimeStamps() const { return timeStamps_; }
    void SetTimeStamps(bool on);
    // Whether received frames are split by the line going idle, and for how long (1..1000 ms).
    bool FramesByGap() const { return receivedFrames_->On(); }
    int FrameGapMs() const { return frameGapMs_; }
    void SetFramesByGap(bool on, int gapMs);
    static constexpr int kDefaultFrameGapMs = 5;
    static constexpr int kMaxFrameGapMs = 1000;
    void Clear();
    // Finds the next (or previous) match after the current one, selects it and brings it into
    // view; false when there is none.
    bool Find(const QString& text, bool hex, bool forward);
    // Writes the lines as shown, as plain text or as HTML keeping the colours; the reason when
    // it failed (the file as it was before).
    std::optional<QString> SaveTo(const QString& path, bool html);

  signals:
    void TimeStampsToggled(bool on);
    // The user changed how received frames are split.
    void FramesByGapChanged(bool on, int gapMs);
    // A log tool failed; the message says why.
    void Failed(const QString& message);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void Append(StoredLine line);
    // `whole`: what lines show changed (width, time stamps), not only their number.
    void ScheduleLayout(bool whole);
    // Sets the scroll range after lines came, went or the width changed, and follows the end.
    void Relayout();
    // Brings the screen to the top row, moving the pixels already drawn.
    void ShowTop();
    // Draws the lines that came since the screen was last brought up to date.
    void ShowNewLines();
    // Pixels from row `from` down to row `to` (from <= to); nullopt when that is more than the
    // screen holds.
    std::optional<int> PixelsBetween(RowPlace from, RowPlace to) const;
    void RepaintWhole();
    int RowHeight() const;
    int Columns() const;
    int RowsOf(int index) const;
    int RowsOnScreen() const;
    // Where the top line's first row is drawn: above the margin when rows of it are scrolled off.
    int TopY() const;
    // The row of line `index` that shows character `column`.
    int RowOfColumn(int index, int column) const;
    // The top row that shows the last row of the last line at the bottom of the screen.
    RowPlace EndTop() const;
    // The row `rows` rows below (or above, when negative) `place`, within the log's rows.
    RowPlace MovedBy(RowPlace place, int rows) const;
    // The scroll bar counts a step for each line above the end's top line and one for each of
    // that line's rows down to the end, so that its end shows the log's last row.
    int ValueOf(RowPlace place) const;
    RowPlace PlaceOfValue(int value) const;
    void OnBarAction(int action);
    void ScrollTo(RowPlace top);
    void ScrollRows(int rows);
    void ScrollToEnd();
    // The index of the line whose rows hold the point; nullopt below the last line.
    std::optional<int> LineAt(QPoint point) const;
    // The place of a line index and column, and back.
    LogPlace Place(int index, int column) const;
    int IndexOf(const LogPlace& place) const;
    LogPlace Clamped(LogPlace place) const;
    void MoveCaret(LogPlace caret, bool extend);
    // Scrolls so the row is on screen, in its middle when it was not.
    void BringIntoView(RowPlace place);
    void SaveAs();
    void ShowFind();
    void ShowFindCheck(const std::string& frame);
    void AskFrameGap();
    // Whether a part of a match on line `number` belongs to the one Find selected last.
    bool IsCurrentMatch(std::uint64_t number, const TextSpan& part) const;
    void CreateActions();

    std::function<bool()> ready_;
    SteadyScrollBar* bar_;
    LineStore store_;
    mutable RecentRowCounts rowCounts_;
    bool timeStamps_ = false;
    bool following_ = true;
    bool adjusting_ = false;
    bool layoutPending_ = false;
    bool wholeLayoutPending_ = false;
    // The row the user scrolled to the top, and the one scrolled to at the end.
    RowPlace top_;
    RowPlace end_;
    // Wheel turns smaller than a row, kept until they add up to one.
    int wheelEighths_ = 0;
    // The rows the screen shows (or is about to): the top row and the number after the last
    // line held when it was drawn.
    RowPlace shownTop_;
    std::uint64_t shownEnd_ = 0;
    LogPlace anchor_;
    LogPlace caret_;
    std::optional<LineQuery> query_;
    // The match Find selected last, its lines by number.
    std::optional<LineMatch> match_;
    FindDialog* findDialog_ = nullptr;
    CheckSearchDialog* checkDialog_ = nullptr;
    // Made for the font the rows were last drawn in.
    std::optional<RowPainter> rowPainter_;
    QAction* timeStampsAction_ = nullptr;
    QAction* framesByGapAction_ = nullptr;
    int frameGapMs_ = kDefaultFrameGapMs;
    ReceivedFrames* receivedFrames_;
};

}  // namespace brantel
