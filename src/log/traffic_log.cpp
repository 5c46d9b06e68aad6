#include "log/traffic_log.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QInputDialog>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "log/check_search_dialog.h"
#include "log/find_dialog.h"
#include "log/line_export.h"
#include "log/line_wrap.h"
#include "log/steady_scroll_bar.h"
#include "qtbridge/local_text.h"
#include "qtbridge/qt_colour.h"

namespace brantel {
namespace {

// The text's distance from the view's edges, as a text document keeps it.
constexpr int kMargin = 4;
// The time stamp before each line when they are on: "hh:mm:ss.zzz ".
constexpr int kStampLength = 13;

QFont LogFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontDatabase::hasFamily("Courier New")) {
        font.setFamily("Courier New");
    }
    font.setBold(true);
    font.setPixelSize(11);
    return font;
}

QString StampOf(std::int64_t timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs).toString("hh:mm:ss.zzz ");
}

}  // namespace

TrafficLog::TrafficLog(QWidget* parent) : TrafficLog([] { return false; }, parent) {}

TrafficLog::TrafficLog(std::function<bool()> ready, QWidget* parent)
    : QAbstractScrollArea(parent),
      ready_(std::move(ready)),
      bar_(new SteadyScrollBar(Qt::Vertical)),
      receivedFrames_(new ReceivedFrames(
          [this](ReceivedFrame frame) {
              Append({std::move(frame.bytes), frame.firstByteMs, kReceivedBlue, LineForm::kHex});
          },
          this)) {
    setFont(LogFont());
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::ClickFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBar(bar_);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
        // Scrolling by the user decides whether new lines keep the end in view.
        if (!adjusting_) {
            if (ValueOf(top_) != value) {
                top_ = PlaceOfValue(value);
            }
            following_ = value == bar_->maximum();
        }
    });
    connect(bar_, &QScrollBar::actionTriggered, this, [this](int action) { OnBarAction(action); });
    bar_->installEventFilter(this);
    CreateActions();
}

TrafficLog::~TrafficLog() = default;

void TrafficLog::CreateActions() {
    const auto add = [this](const QString& text, const QKeySequence& keys, auto handler) {
        auto* action = new QAction(text, this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    add("&Copy", QKeySequence::Copy, [this] { Copy(); });
    add("Select &All", QKeySequence::SelectAll, [this] { SelectAll(); });
    add("&Find...", QKeySequence::Find, [this] { ShowFind(); });
    add("Find &Next", QKeySequence::FindNext, [this] {
        if (findDialog_ != nullptr) {
            findDialog_->FindAgain(true);
        }
    });
    add("Find Pre&vious", QKeySequence::FindPrevious, [this] {
        if (findDialog_ != nullptr) {
            findDialog_->FindAgain(false);
        }
    });
    timeStampsAction_ = add("&Time Stamps", QKeySequence(), [this](bool on) {
        SetTimeStamps(on);
        emit TimeStampsToggled(on);
    });
    timeStampsAction_->setCheckable(true);
    framesByGapAction_ = add("Split Received Frames by &Gap", QKeySequence(), [this](bool on) {
        SetFramesByGap(on, frameGapMs_);
        emit FramesByGapChanged(on, frameGapMs_);
    });
    framesByGapAction_->setCheckable(true);
    add("Frame Gap...", QKeySequence(), [this] { AskFrameGap(); });
    add("&Save As...", QKeySequence(), [this] { SaveAs(); });
    add("C&lear", QKeySequence(), [this] { Clear(); });
}

// Any other line ends the frame being received, so the log keeps the order of events.
void TrafficLog::LogLine(const std::string& text, Colour colour) {
    if (!text.empty()) {
        receivedFrames_->End();
        Append({text, NowMs(), colour, LineForm::kText});
    }
}

void TrafficLog::LogHex(const std::string& data, Colour colour) {
    if (!data.empty()) {
        receivedFrames_->End();
        Append({data, NowMs(), colour, LineForm::kHex});
    }
}

void TrafficLog::LogReceived(const std::string& data) {
    if (receivedFrames_->On()) {
        receivedFrames_->Arrive(data);
    } else {
        LogHex(data, kReceivedBlue);
    }
}

void TrafficLog::SetFramesByGap(bool on, int gapMs) {
    frameGapMs_ = std::clamp(gapMs, 1, kMaxFrameGapMs);
    framesByGapAction_->setChecked(on);
    receivedFrames_->SetGap(on ? std::optional<int>(frameGapMs_) : std::nullopt);
}

void TrafficLog::AskFrameGap() {
    bool chosen = false;
    const int gap = QInputDialog::getInt(
        this, "Frame Gap", "A received frame ends when the line is idle for (ms):", frameGapMs_, 1,
        kMaxFrameGapMs, 1, &chosen);
    if (chosen) {
        SetFramesByGap(FramesByGap(), gap);
        emit FramesByGapChanged(FramesByGap(), frameGapMs_);
    }
}

void TrafficLog::Append(StoredLine line) {
    store_.Append(std::move(line));
    ScheduleLayout(false);
}

// Lines may come thousands a second: the scroll range is set once per turn of the event loop.
void TrafficLog::ScheduleLayout(bool whole) {
    wholeLayoutPending_ = wholeLayoutPending_ || whole;
    if (!layoutPending_) {
        layoutPending_ = true;
        QTimer::singleShot(0, this, [this] { Relayout(); });
    }
}

void TrafficLog::Relayout() {
    layoutPending_ = false;
    if (top_.line < store_.FirstNumber()) {
        top_ = {store_.FirstNumber(), 0};
    }
    end_ = EndTop();
    top_ = std::min(top_, end_);
    if (LineCount() > 0) {
        top_.row =
            std::min(top_.row, RowsOf(static_cast<int>(top_.line - store_.FirstNumber())) - 1);
    }
    if (following_ && ready_()) {
        top_ = end_;
    }
    adjusting_ = true;
    bar_->AdjustAtOnce([this] {
        bar_->setRange(0, ValueOf(end_));
        bar_->setPageStep(RowsOnScreen());
        bar_->setValue(ValueOf(top_));
    });
    adjusting_ = false;
    if (wholeLayoutPending_) {
        wholeLayoutPending_ = false;
        RepaintWhole();
        return;
    }
    ShowTop();
    ShowNewLines();
}

int TrafficLog::ValueOf(RowPlace place) const {
    const auto index = static_cast<int>(place.line - store_.FirstNumber());
    const auto endIndex = static_cast<int>(end_.line - store_.FirstNumber());
    return place.line < end_.line ? index : endIndex + std::min(place.row, end_.row);
}

RowPlace TrafficLog::PlaceOfValue(int value) const {
    const auto endIndex = static_cast<int>(end_.line - store_.FirstNumber());
    if (value >= endIndex) {
        return {end_.line, std::min(value - endIndex, end_.row)};
    }
    return {store_.FirstNumber() + static_cast<std::uint64_t>(std::max(0, value)), 0};
}

void TrafficLog::RepaintWhole() {
    shownTop_ = top_;
    shownEnd_ = store_.FirstNumber() + store_.Size();
    viewport()->update();
}

void TrafficLog::scrollContentsBy(int, int) {
    if (!adjusting_) {
        ShowTop();
    }
}

// A new line moves the lines on screen up: their pixels are moved rather than drawn again, as
// reads may come ten times a second for hours.
void TrafficLog::ShowTop() {
    const RowPlace top = top_;
    if (top == shownTop_) {
        return;
    }
    const qreal ratio = viewport()->devicePixelRatioF();
    std::optional<int> shift;
    if (shownTop_.line >= store_.FirstNumber() && ratio == std::floor(ratio)) {
        shift = top > shownTop_ ? PixelsBetween(shownTop_, top) : PixelsBetween(top, shownTop_);
    }
    if (!shift) {
        RepaintWhole();
        return;
    }
    // The margin above the lines stays blank.
    const QRect lines(0, kMargin, viewport()->width(), viewport()->height() - kMargin);
    viewport()->scroll(0, top > shownTop_ ? -*shift : *shift, lines);
    shownTop_ = top;
}

void TrafficLog::ShowNewLines() {
    const std::uint64_t drawnEnd = std::max(shownEnd_, shownTop_.line);
    shownEnd_ = store_.FirstNumber() + store_.Size();
    if (drawnEnd >= shownEnd_) {
        return;
    }
    if (const std::optional<int> above = PixelsBetween(shownTop_, {drawnEnd, 0})) {
        viewport()->update(0, kMargin + *above, viewport()->width(), viewport()->height());
    }
}

std::optional<int> TrafficLog::PixelsBetween(RowPlace from, RowPlace to) const {
    const int rowHeight = RowHeight();
    int pixels = -from.row * rowHeight;
    for (std::uint64_t number = from.line; number < to.line; ++number) {
        pixels += RowsOf(static_cast<int>(number - store_.FirstNumber())) * rowHeight;
        if (pixels >= viewport()->height()) {
            return std::nullopt;
        }
    }
    pixels += to.row * rowHeight;
    return pixels < viewport()->height() ? std::optional<int>(pixels) : std::nullopt;
}

QString TrafficLog::LineText(int index) const {
    const StoredLine& line = store_.At(static_cast<std::size_t>(index));
    QString text = FromBytes(ShownText(line));
    return timeStamps_ ? StampOf(line.timeMs) + text : text;
}

// Rows follow each other at the font's height in whole pixels, so that moving them by rows
// moves whole pixels.
int TrafficLog::RowHeight() const {
    return std::max(1, static_cast<int>(std::lround(QFontMetricsF(font()).height())));
}

int TrafficLog::Columns() const {
    const qreal width = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
    return std::max(1, static_cast<int>((viewport()->width() - 2 * kMargin) / width));
}

int TrafficLog::RowsOf(int index) const {
    const int columns = Columns();
    return rowCounts_.Rows(store_.FirstNumber() + static_cast<std::uint64_t>(index),
                           columns * 2 + (timeStamps_ ? 1 : 0), [&] {
                               return static_cast<int>(WrapRows(LineText(index), columns).size());
                           });
}

int TrafficLog::RowsOnScreen() const {
    return std::max(1, static_cast<int>((viewport()->height() - 2 * kMargin) / RowHeight()));
}

RowPlace TrafficLog::EndTop() const {
    const int rowsOnScreen = RowsOnScreen();
    int rows = 0;
    for (int index = LineCount() - 1; index >= 0; --index) {
        rows += RowsOf(index);
        if (rows >= rowsOnScreen) {
            return {Place(index, 0).line, rows - rowsOnScreen};
        }
    }
    return {store_.FirstNumber(), 0};
}

RowPlace TrafficLog::MovedBy(RowPlace place, int rows) const {
    const std::uint64_t first = store_.FirstNumber();
    place.row += rows;
    while (place.row < 0 && place.line > first) {
        --place.line;
        place.row += RowsOf(static_cast<int>(place.line - first));
    }
    while (place < end_ && place.row >= RowsOf(static_cast<int>(place.line - first))) {
        place.row -= RowsOf(static_cast<int>(place.line - first));
        ++place.line;
    }
    return std::clamp(place, RowPlace{first, 0}, end_);
}

int TrafficLog::TopY() const {
    return kMargin - (shownTop_.line >= store_.FirstNumber() ? shownTop_.row : 0) * RowHeight();
}

int TrafficLog::RowOfColumn(int index, int column) const {
    const QList<WrappedRow> rows = WrapRows(LineText(index), Columns());
    const auto after = std::find_if(rows.begin(), rows.end(),
                                    [column](const WrappedRow& row) { return row.start > column; });
    return std::max(0, static_cast<int>(after - rows.begin()) - 1);
}

int TrafficLog::TopLine() const {
    const std::uint64_t first = store_.FirstNumber();
    const std::uint64_t last = first + static_cast<std::uint64_t>(std::max(0, LineCount() - 1));
    return static_cast<int>(std::clamp(shownTop_.line, first, last) - first);
}

// The bar's arrows and page areas step by rows, so that they reach every row of a line taller
// than the screen; dragging the slider goes by its values.
void TrafficLog::OnBarAction(int action) {
    int rows = 0;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            rows = 1;
            break;
        case QAbstractSlider::SliderSingleStepSub:
            rows = -1;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            rows = RowsOnScreen();
            break;
        case QAbstractSlider::SliderPageStepSub:
            rows = -RowsOnScreen();
            break;
        default:
            return;
    }
    top_ = MovedBy(top_, rows);
    bar_->setSliderPosition(ValueOf(top_));
    ShowTop();
}

void TrafficLog::ScrollTo(RowPlace top) {
    top_ = std::clamp(top, RowPlace{store_.FirstNumber(), 0}, end_);
    bar_->setValue(ValueOf(top_));
    ShowTop();
}

void TrafficLog::ScrollRows(int rows) {
    ScrollTo(MovedBy(top_, rows));
}

void TrafficLog::ScrollToEnd() {
    if (layoutPending_) {
        Relayout();
    }
    ScrollTo(end_);
    following_ = true;
}

bool TrafficLog::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the bar scrolls by rows as it does over the lines.
    if (watched == bar_ && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void TrafficLog::wheelEvent(QWheelEvent* event) {
    wheelEighths_ += event->angleDelta().y();
    const int rows = wheelEighths_ / 120 * QApplication::wheelScrollLines();
    wheelEighths_ %= 120;
    if (rows != 0) {
        ScrollRows(-rows);
    }
    event->accept();
}

void TrafficLog::paintEvent(QPaintEvent* event) {
    const QRect dirty = event->rect();
    QPainter painter(viewport());
    painter.setFont(font());
    if (!rowPainter_ || rowPainter_->Font() != font()) {
        rowPainter_.emplace(font());
    }
    const QFontMetricsF metrics(font());
    const qreal charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    const int lineHeight = RowHeight();
    const int columns = Columns();
    const bool showSelection = hasFocus() && anchor_ != caret_;
    const LogPlace from = std::min(anchor_, caret_);
    const LogPlace to = std::max(anchor_, caret_);
    // Rows scrolled above the top leave the margin blank, as it is kept when pixels move.
    painter.setClipRect(0, kMargin, viewport()->width(), viewport()->height() - kMargin);
    int y = TopY();
    for (int index = TopLine(); index < LineCount() && y <= dirty.bottom(); ++index) {
        const int below = y + RowsOf(index) * lineHeight;
        if (below <= dirty.top()) {
            y = below;
            continue;
        }
        const QString text = LineText(index);
        const QList<WrappedRow> rows = WrapRows(text, columns);
        const std::uint64_t number = store_.FirstNumber() + static_cast<std::uint64_t>(index);
        // Spans to mark: matches of Find, then the selection.
        struct Mark {
            int start;
            int end;
            QColor background;
            QColor foreground;
        };
        std::vector<Mark> marks;
        if (query_) {
            const StoredLine& line = store_.At(static_cast<std::size_t>(index));
            const int offset = timeStamps_ ? kStampLength : 0;
            for (const TextSpan& span : query_->PartsIn(store_, static_cast<std::size_t>(index))) {
                const bool current = match_ && IsCurrentMatch(number, span);
                marks.push_back({offset + static_cast<int>(span.start),
                                 offset + static_cast<int>(span.start + span.length),
                                 current ? QColor(255, 150, 50) : QColor(255, 240, 120),
                                 ToQColor(line.colour)});
            }
        }
        if (showSelection && number >= from.line && number <= to.line) {
            marks.push_back({number == from.line ? from.column : 0,
                             number == to.line ? to.column : static_cast<int>(text.size()) + 1,
                             palette().color(QPalette::Highlight),
                             palette().color(QPalette::HighlightedText)});
        }
        const QColor colour = ToQColor(LineColour(index));
        for (const WrappedRow& row : rows) {
            if (y + lineHeight <= dirty.top() || y > dirty.bottom()) {
                y += lineHeight;
                continue;
            }
            const qreal baseline = y + metrics.ascent();
            painter.setPen(colour);
            rowPainter_->Draw(painter, QPointF(kMargin, baseline),
                              QStringView(text).mid(row.start, row.length));
            for (const Mark& mark : marks) {
                const int start = std::max(mark.start, row.start);
                const int end = std::min(mark.end, row.start + row.length);
                if (start >= end) {
                    continue;
                }
                const QRectF box(kMargin + (start - row.start) * charWidth, y,
                                 (end - start) * charWidth, lineHeight);
                painter.fillRect(box, mark.background);
                painter.setPen(mark.foreground);
                rowPainter_->Draw(painter, QPointF(box.left(), baseline),
                                  QStringView(text).mid(start, end - start));
            }
            y += lineHeight;
        }
    }
}

void TrafficLog::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    ScheduleLayout(true);
}

std::optional<LogPlace> TrafficLog::PlaceAt(QPoint point) const {
    if (LineCount() == 0) {
        return std::nullopt;
    }
    const qreal charWidth = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
    const int lineHeight = RowHeight();
    const int columns = Columns();
    int y = TopY();
    int index = TopLine();
    for (; index < LineCount(); ++index) {
        const QString text = LineText(index);
        for (const WrappedRow& row : WrapRows(text, columns)) {
            if (point.y() < y + lineHeight) {
                const int column = static_cast<int>(std::lround((point.x() - kMargin) / charWidth));
                const bool lastRow = row.start + row.length == text.size();
                const int inRow = std::clamp(column, 0, row.length - (lastRow ? 0 : 1));
                return Place(index, row.start + std::max(0, inRow));
            }
            y += lineHeight;
        }
    }
    return Place(LineCount() - 1, static_cast<int>(LineText(LineCount() - 1).size()));
}

std::optional<int> TrafficLog::LineAt(QPoint point) const {
    int y = TopY();
    for (int index = TopLine(); index < LineCount() && y <= point.y(); ++index) {
        y += RowsOf(index) * RowHeight();
        if (point.y() < y) {
            return index;
        }
    }
    return std::nullopt;
}

LogPlace TrafficLog::Place(int index, int column) const {
    return {store_.FirstNumber() + static_cast<std::uint64_t>(index), column};
}

int TrafficLog::IndexOf(const LogPlace& place) const {
    return static_cast<int>(place.line - store_.FirstNumber());
}

LogPlace TrafficLog::Clamped(LogPlace place) const {
    return place.line < store_.FirstNumber() ? LogPlace{store_.FirstNumber(), 0} : place;
}

void TrafficLog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (const std::optional<LogPlace> place = PlaceAt(event->position().toPoint())) {
        MoveCaret(*place, event->modifiers().testFlag(Qt::ShiftModifier));
    }
}

void TrafficLog::mouseMoveEvent(QMouseEvent* event) {
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    const QPoint point = event->position().toPoint();
    // Dragging past the top or bottom scrolls on.
    if (point.y() < 0) {
        ScrollRows(-1);
    } else if (point.y() > viewport()->height()) {
        ScrollRows(1);
    }
    if (const std::optional<LogPlace> place = PlaceAt(point)) {
        MoveCaret(*place, true);
    }
}

void TrafficLog::MoveCaret(LogPlace caret, bool extend) {
    caret_ = caret;
    if (!extend) {
        anchor_ = caret;
    }
    viewport()->update();
}

void TrafficLog::Select(LogPlace from, LogPlace to) {
    anchor_ = from;
    caret_ = to;
    viewport()->update();
}

void TrafficLog::SelectAll() {
    Select({store_.FirstNumber(), 0}, {store_.FirstNumber() + store_.Size(), 0});
}

QString TrafficLog::SelectedText() const {
    const LogPlace from = Clamped(std::min(anchor_, caret_));
    const LogPlace to = Clamped(std::max(anchor_, caret_));
    QString text;
    for (int index = IndexOf(from); index < LineCount() && index <= IndexOf(to); ++index) {
        const QString line = LineText(index);
        const int start = index == IndexOf(from) ? from.column : 0;
        const bool toEnd = index < IndexOf(to) || to.column > line.size();
        text += line.mid(start, toEnd ? -1 : to.column - start);
        if (toEnd) {
            text += "\r\n";
        }
    }
    return text;
}

void TrafficLog::Copy() const {
    if (anchor_ != caret_) {
        QGuiApplication::clipboard()->setText(SelectedText());
    }
}

void TrafficLog::BringIntoView(RowPlace place) {
    const std::optional<int> below = place >= top_ ? PixelsBetween(top_, place) : std::nullopt;
    if (!below || *below >= (RowsOnScreen() - 1) * RowHeight()) {
        ScrollTo(MovedBy(place, -RowsOnScreen() / 2));
    }
}

void TrafficLog::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const int caretIndex = std::clamp(IndexOf(Clamped(caret_)), 0, std::max(0, LineCount() - 1));
    switch (event->key()) {
        case Qt::Key_End:
            if (shift && LineCount() > 0) {
                MoveCaret(Place(caretIndex, static_cast<int>(LineText(caretIndex).size())), true);
            } else {
                ScrollToEnd();
            }
            return;
        case Qt::Key_Home:
            if (shift) {
                MoveCaret(Place(caretIndex, 0), true);
            } else {
                ScrollTo({store_.FirstNumber(), 0});
            }
            return;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const bool page = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
            const bool up = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_Up;
            const int step = (page ? RowsOnScreen() : 1) * (up ? -1 : 1);
            if (shift && LineCount() > 0) {
                const int index = std::clamp(caretIndex + step, 0, LineCount() - 1);
                MoveCaret(Place(index, caret_.column), true);
                BringIntoView({Place(index, 0).line, 0});
            } else {
                ScrollRows(step);
            }
            return;
        }
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (shift && LineCount() > 0) {
                MoveCaret({caret_.line,
                           std::max(0, caret_.column + (event->key() == Qt::Key_Left ? -1 : 1))},
                          true);
            }
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void TrafficLog::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TrafficLog::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TrafficLog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addActions(actions());
    // The line clicked on, or from the keyboard the caret's; only a line of bytes sent or
    // received holds a frame. Its bytes are taken now: lines may go while the menu is open.
    std::optional<int> index;
    if (event->reason() == QContextMenuEvent::Mouse) {
        index = LineAt(event->pos());
    } else if (const int caret = IndexOf(Clamped(caret_)); caret < LineCount()) {
        index = caret;
    }
    std::string frame;
    if (index && store_.At(static_cast<std::size_t>(*index)).form == LineForm::kHex) {
        frame = store_.At(static_cast<std::size_t>(*index)).bytes;
    }
    auto* findCheck = new QAction("Find Chec&k", &menu);
    findCheck->setEnabled(!frame.empty());
    connect(findCheck, &QAction::triggered, this, [this, frame] { ShowFindCheck(frame); });
    menu.insertAction(actions()[5], findCheck);
    menu.insertSeparator(actions()[5]);
    menu.insertSeparator(actions()[8]);
    menu.exec(event->globalPos());
}

void TrafficLog::SetTimeStamps(bool on) {
    timeStamps_ = on;
    timeStampsAction_->setChecked(on);
    ScheduleLayout(true);
}

void TrafficLog::Clear() {
    receivedFrames_->Drop();
    store_.Clear();
    anchor_ = caret_ = {store_.FirstNumber(), 0};
    match_.reset();
    following_ = true;
    wholeLayoutPending_ = true;
    Relayout();
}

bool TrafficLog::Find(const QString& text, bool hex, bool forward) {
    const std::string bytes = ToBytes(text);
    query_ = hex ? LineQuery::Hex(bytes) : LineQuery::Text(bytes);
    if (!query_) {
        viewport()->update();
        return false;
    }
    std::optional<LineMatch> from;
    if (match_ && match_->line >= store_.FirstNumber()) {
        from = LineMatch{static_cast<std::size_t>(match_->line - store_.FirstNumber()),
                         match_->span, std::nullopt};
    }
    const std::optional<LineMatch> found = FindMatch(store_, *query_, from, forward);
    if (!found) {
        match_.reset();
        viewport()->update();
        return false;
    }
    const int index = static_cast<int>(found->line);
    match_ = found;
    match_->line = static_cast<std::size_t>(Place(index, 0).line);
    // The match is selected in the text as shown, its time stamp included.
    const int offset = timeStamps_ ? kStampLength : 0;
    const QString before =
        FromBytes(ShownText(store_.At(found->line)).substr(0, found->span.start));
    const QString matched =
        FromBytes(ShownText(store_.At(found->line)).substr(found->span.start, found->span.length));
    const int start = offset + static_cast<int>(before.size());
    if (found->runsOnTo) {
        // Bytes running on over the next lines of their direction are shown as hex alone.
        const int endIndex = static_cast<int>(found->runsOnTo->line);
        match_->runsOnTo->line = static_cast<std::size_t>(Place(endIndex, 0).line);
        Select(Place(index, start),
               Place(endIndex, offset + static_cast<int>(found->runsOnTo->span.length)));
    } else {
        Select(Place(index, start), Place(index, start + static_cast<int>(matched.size())));
    }
    if (layoutPending_) {
        Relayout();
    }
    following_ = false;
    BringIntoView({Place(index, 0).line, RowOfColumn(index, start)});
    following_ = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    return true;
}

bool TrafficLog::IsCurrentMatch(std::uint64_t number, const TextSpan& part) const {
    if (number == match_->line) {
        return part.start == match_->span.start;
    }
    return match_->runsOnTo && number > match_->line && number <= match_->runsOnTo->line &&
           part.start == 0;
}

std::optional<QString> TrafficLog::SaveTo(const QString& path, bool html) {
    QProgressDialog progress("Saving the traffic log...", "Cancel", 0, LineCount(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const auto step = [&progress](std::size_t done) {
        progress.setValue(static_cast<int>(done));
        return !progress.wasCanceled();
    };
    return SaveLines(store_, path, html ? LineFormat::kHtml : LineFormat::kText, timeStamps_, step);
}

void TrafficLog::SaveAs() {
    QString filter;
    const QString textFilter = "Text files (*.txt)";
    const QString htmlFilter = "HTML files (*.html *.htm)";
    QString path = QFileDialog::getSaveFileName(this, "Save Traffic Log", QString(),
                                                textFilter + ";;" + htmlFilter, &filter);
    if (path.isEmpty()) {
        return;
    }
    const bool html = filter.startsWith("HTML") || path.endsWith(".html", Qt::CaseInsensitive) ||
                      path.endsWith(".htm", Qt::CaseInsensitive);
    path = WithFilterExtension(path, html ? htmlFilter : textFilter);
    if (const std::optional<QString> failure = SaveTo(path, html)) {
        emit Failed(*failure);
    }
}

void TrafficLog::ShowFind() {
    if (findDialog_ == nullptr) {
        findDialog_ = new FindDialog(this);
    }
    findDialog_->Open(SelectedText().section("\r\n", 0, 0));
}

void TrafficLog::ShowFindCheck(const std::string& frame) {
    if (checkDialog_ == nullptr) {
        checkDialog_ = new CheckSearchDialog(this);
    }
    checkDialog_->Open(frame);
}

}  // namespace brantel
