#include "widgets/command_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QValidator>
#include <algorithm>
#include <limits>
#include <vector>

#include "commands/command_row.h"
#include "platform/profile_store.h"
#include "qtbridge/local_text.h"

namespace brantel {
namespace {

constexpr int kRowHeight = 16;
constexpr int kDefaultColumnWidth = 20;
constexpr int kNamedColumnWidths[] = {110, 200, 200, 50, 50, 50};
const char* const kNamedHeaders[] = {"Description", "Command", "Response", "Var1", "Var2", "Var3"};

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

// The in-place editor. A cell never takes ";" or a line break: typing ";" beeps, pasting
// drops them.
class CellEditor : public QLineEdit {
  public:
    CellEditor(QWidget* parent, QString original)
        : QLineEdit(parent), original_(std::move(original)) {
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

  private:
    QString original_;
};

}  // namespace

// Every change of the editor's text goes into the cell at once, so a send or the save at
// close sees what is typed so far.
class CellEditorDelegate : public QStyledItemDelegate {
  public:
    explicit CellEditorDelegate(CommandGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new CellEditor(parent, index.data(Qt::EditRole).toString());
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
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
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

void CommandGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit DoubleClicked();
    }
}

bool CommandGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit DoubleClicked();
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

void CommandGrid::WatchDoubleClicks(QWidget* widget) {
    widget->installEventFilter(this);
}

void CommandGrid::LeaveByTab(bool forward) {
    QTableWidget::focusNextPrevChild(forward);
}

void LoadCommandTable(CommandGrid& grid, const ProfileStore& store) {
    for (int column = 0; column < kCommandColumns; ++column) {
        const bool named = column < static_cast<int>(std::size(kNamedHeaders));
        grid.horizontalHeaderItem(column)->setText(named ? kNamedHeaders[column]
                                                         : QString::number(column - 5));
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
