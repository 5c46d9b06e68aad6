#pragma once

#include <QTableWidget>
#include <string>

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

  signals:
    // A left double-click anywhere in the grid: a cell, the header row or a cell's editor.
    void DoubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class CellEditorDelegate;
    void WatchDoubleClicks(QWidget* widget);
    // Moves the focus to the next (or previous) control of the window.
    void LeaveByTab(bool forward);
};

// Sets the headers and widths, then fills rows 1 to 29 from section "Main".
void LoadCommandTable(CommandGrid& grid, const ProfileStore& store);
// Writes rows 1 to 29 to section "Main", row by row.
void SaveCommandTable(const CommandGrid& grid, ProfileStore& store);

}  // namespace brantel
