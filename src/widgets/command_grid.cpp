#include "widgets/command_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QValidator>
#include <algorithm>
#include <limits>
#include <vector>

#include "commands/command_row.h"
#include "platform/profile_store.h"
#include "qtbridge/local_text.h"

namespace brantel {
namespace {

// Marks the widgets whose double-clicks send the current row: the header and the cell editors.
constexpr char kSendsOnDoubleClick[] = "sendsOnDoubleClick";
constexpr int kRowHeight = 16;
constexpr int kDefaultColumnWidth = 20;
constexpr int kNamedColumnWidths[] = {110, 200, 200, 50, 50, 50};

// ";" separates the cells of a stored row and a line break ends the stored value.
bool IsStoredRowBreak(QChar c) {
    return c == ';' || c == '\r' || c == '\n';
}

// Takes every character a stored row cannot hold out of the editor's text, wherever it came
// from, before the text changes.
class StorableTextValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override {
        position -= static_cast<int>(
            std::count_if(input.begin(), input.begin() + position, IsStoredRowBreak));
        input.removeIf(IsStoredRowBreak);
        return Acceptable;
    }
};

// Where an item view draws a cell's text: after the focus frame's margin and one pixel.
int TextMargin(const QWidget* view) {
    return view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

// The in-place editor. A cell never takes ";" or a line break: typing ";" beeps, pasting
// drops them. Over a Command cell it draws the cell's mark as the text changes.
class CellEditor : public QLineEdit {
  public:
    CellEditor(QWidget* parent, QString original, std::function<CommandNote::Mark()> mark)
        : QLineEdit(parent), original_(std::move(original)), mark_(std::move(mark)) {
        setValidator(new StorableTextValidator(this));
        // The editor's text goes into the cell at once: the toolkit's limit of 32,767
        // characters would cut a longer cell as soon as it is opened.
        setMaxLength(std::numeric_limits<int>::max());
    }

    // Every keystroke reached the cell already: cancelling puts back what it held before.
    void Revert() { setText(original_); }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->text() == ";") {
            QApplication::beep();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        QLineEdit::paintEvent(event);
        if (mark_) {
            QPainter painter(this);
            DrawMark(painter, rect(), TextMargin(this), fontMetrics().horizontalAdvance(text()),
                     mark_());
        }
    }

  private:
    QString original_;
    std::function<CommandNote::Mark()> mark_;
};

}  // namespace

// Every change of the editor's text goes into the cell at once, so a send or the save at
// close sees what is typed so far.
class CellEditorDelegate : public QStyledItemDelegate {
  public:
    explicit CellEditorDelegate(CommandGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        std::function<CommandNote::Mark()> mark;
        if (index.column() == kCommandColumn) {
            mark = [grid = grid_, row = index.row() + 1] {
                return grid->CommandNoteOf(row, false).mark;
            };
        }
        auto* editor = new CellEditor(parent, index.data(Qt::EditRole).toString(), std::move(mark));
        editor->setFrame(false);
        const QPersistentModelIndex cell(index);
        connect(editor, &QLineEdit::textChanged, editor, [this, cell](const QString& text) {
            if (cell.isValid()) {
                grid_->model()->setData(cell, text);
            }
        });
        grid_->WatchDoubleClicks(editor);
        return editor;
    }

    // The cell echoes each of the editor's own changes back; setting the same text again
    // would throw the caret to the end of the line.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text) {
            line->setText(text);
        }
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() == kCommandColumn) {
            const QString text = index.data().toString();
            DrawMark(*painter, option.rect, option.rect.left() + TextMargin(grid_),
                     option.fontMetrics.horizontalAdvance(text),
                     grid_->CommandNoteOf(index.row() + 1, false).mark);
        }
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || index.column() != kCommandColumn) {
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        }
        grid_->ShowCommandTip(index.row() + 1, event->globalPos());
        return true;
    }

  protected:
    // Esc cancels the edit; Tab and Shift+Tab commit it and leave the grid, as they do
    // outside an editor.
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* editor = dynamic_cast<CellEditor*>(watched);
        if (editor == nullptr || event->type() != QEvent::KeyPress) {
            return QStyledItemDelegate::eventFilter(watched, event);
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            editor->Revert();
        } else if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            grid_->LeaveByTab(key == Qt::Key_Tab);
            return true;
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

  private:
    CommandGrid* grid_;
};

CommandGrid::CommandGrid(QWidget* parent) : QTableWidget(kCommandRows, kCommandColumns, parent) {
    setItemDelegate(new CellEditorDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(kDefaultColumnWidth);
    horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    // Columns are dragged wider or narrower at their header edges; the window keeps the widths.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setFixedHeight(kRowHeight);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    for (int column = 0; column < kCommandColumns; ++column) {
        setHorizontalHeaderItem(column, new QTableWidgetItem());
    }
    WatchDoubleClicks(horizontalHeader()->viewport());
    setCurrentCell(0, 0);
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& first, const QModelIndex& last) {
                RowsChanged(first.row(), last.row());
            });
}

int CommandGrid::CurrentRow() const {
    return currentRow() + 1;
}

std::string CommandGrid::CellText(int column, int row) const {
    const QTableWidgetItem* cell = item(row - 1, column);
    return cell ? ToBytes(cell->text()) : std::string();
}

void CommandGrid::SetCellText(int column, int row, const std::string& text) {
    setItem(row - 1, column, new QTableWidgetItem(FromBytes(text)));
}

void CommandGrid::SetCommandNotes(CommandNotes notes) {
    notes_ = std::move(notes);
    RefreshCommandNotes();
}

void CommandGrid::RefreshCommandNotes() {
    RowsChanged(0, rowCount() - 1);
}

CommandNote CommandGrid::CommandNoteOf(int row, bool withToolTip) const {
    return notes_ ? notes_(row, withToolTip) : CommandNote{};
}

void CommandGrid::ShowCommandTip(int row, const QPoint& globalPos) {
    const QModelIndex cell = model()->index(row - 1, kCommandColumn);
    const QString tip = CommandNoteOf(row, true).toolTip;
    tipRow_ = tip.isEmpty() ? 0 : row;
    tipPos_ = globalPos;
    tipText_ = tip;
    QToolTip::showText(globalPos, tip, viewport(), visualRect(cell));
}

void CommandGrid::RowsChanged(int first, int last) {
    for (int row = first; row <= last; ++row) {
        viewport()->update(visualRect(model()->index(row, kCommandColumn)));
    }
    // The tooltip on show is renewed only while it is still the one the grid showed.
    if (tipRow_ > first && tipRow_ <= last + 1 && QToolTip::isVisible() &&
        QToolTip::text() == tipText_) {
        ShowCommandTip(tipRow_, tipPos_);
    }
}

void CommandGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit DoubleClicked();
    }
}

// A click on a selected cell opens its editor after the double-click time. When the focus has
// moved on by then (a row double-clicked to send, then another box clicked and typed into), the
// editor must not take it: the keys meant for that box would land in the command table.
bool CommandGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool delayedEdit = trigger == AllEditTriggers && event == nullptr;
    if (delayedEdit && !hasFocus()) {
        return false;
    }
    return QTableWidget::edit(index, trigger, event);
}

// The scroll area also filters its scroll bars' events here; a double-click there scrolls and
// sends nothing.
bool CommandGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        watched->property(kSendsOnDoubleClick).toBool() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit DoubleClicked();
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

void CommandGrid::WatchDoubleClicks(QWidget* widget) {
    widget->setProperty(kSendsOnDoubleClick, true);
    widget->installEventFilter(this);
}

void CommandGrid::LeaveByTab(bool forward) {
    QTableWidget::focusNextPrevChild(forward);
}

void LoadCommandTable(CommandGrid& grid, const ProfileStore& store) {
    for (int column = 0; column < kCommandColumns; ++column) {
        const bool named = column < static_cast<int>(std::size(kNamedColumnWidths));
        grid.horizontalHeaderItem(column)->setText(FromBytes(ColumnHeader(column)));
        grid.setColumnWidth(column, named ? kNamedColumnWidths[column] : kDefaultColumnWidth);
    }
    for (int row = 1; row <= kCommandRows; ++row) {
        const std::vector<std::string> words =
            DecodeCommandRow(store.ReadString(kCommandSection, CommandKey(row), ""));
        for (int column = 0; column < static_cast<int>(words.size()); ++column) {
            grid.SetCellText(column, row, words[column]);
        }
    }
}

void SaveCommandTable(const CommandGrid& grid, ProfileStore& store) {
    for (int row = 1; row <= kCommandRows; ++row) {
        std::vector<std::string> cells;
        cells.reserve(kCommandColumns);
        for (int column = 0; column < kCommandColumns; ++column) {
            cells.push_back(grid.CellText(column, row));
        }
        store.WriteString(kCommandSection, CommandKey(row), EncodeCommandRow(cells));
    }
}

}  // namespace brantel
