#pragma once

#include <QTableWidget>
#include <string>

#include "widgets/command_note.h"

namespace brantel {

class ProfileStore;

// The command table `CmdGrid`: rows 1 to 29 of 50 cells under a fixed header row. The
// grid's cells are the only store of the table while the program runs.
class CommandGrid : public QTableWidget {
    Q_OBJECT
  public:
    explicit CommandGrid(QWidget* parent = nullptr);

    // The row (1 to 29) that holds the cursor.
    int CurrentRow() const;
    // The text of cell (column, row) as bytes; empty for a cell outside the table.
    std::string CellText(int column, int row) const;
    void SetCellText(int column, int row, const std::string& text);

    // Where the Command cells' tooltips and marks come from; they are asked for as a cell is
    // drawn or hovered, so they follow every change of the row's cells.
    void SetCommandNotes(CommandNotes notes);
    // Draws the marks again and renews a tooltip on show: something outside the grid that the
    // notes read (the address, the parameters) changed.
    void RefreshCommandNotes();

  signals:
    // A left double-click anywhere in the grid: a cell, the header row or a cell's editor.
    void DoubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class CellEditorDelegate;
    CommandNote CommandNoteOf(int row, bool withToolTip) const;
    void ShowCommandTip(int row, const QPoint& globalPos);
    // A change in rows first to last (from 0) changes the notes of those rows.
    void RowsChanged(int first, int last);
    void WatchDoubleClicks(QWidget* widget);
    // Moves the focus to the next (or previous) control of the window.
    void LeaveByTab(bool forward);

    CommandNotes notes_;
    int tipRow_ = 0;  // the row whose tooltip was shown last, 0 for none
    QPoint tipPos_;
    QString tipText_;
};

// Sets the headers and widths, then fills rows 1 to 29 from section "Main".
void LoadCommandTable(CommandGrid& grid, const ProfileStore& store);
// Writes rows 1 to 29 to section "Main", row by row.
void SaveCommandTable(const CommandGrid& grid, ProfileStore& store);

}  // namespace brantel
