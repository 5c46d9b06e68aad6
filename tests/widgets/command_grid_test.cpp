#include "widgets/command_grid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <functional>
#include <map>

#include "platform/profile_store.h"
#include "qtbridge/local_text.h"
#include "support/on_screen.h"
#include "support/scratch_dir.h"

namespace brantel::test {
namespace {

std::string Repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

// The grid between two edit boxes in a shown, active window, its table loaded from a file of
// its own.
class CommandGridTest : public ::testing::Test {
  protected:
    CommandGridTest() {
        auto* layout = new QVBoxLayout(&host);
        layout->addWidget(before);
        layout->addWidget(grid);
        layout->addWidget(after);
        host.resize(783, 300);
        host.show();
        host.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    void Load() { LoadCommandTable(*grid, ProfileStore(iniPath)); }
    void Save() {
        ProfileStore store(iniPath);
        SaveCommandTable(*grid, store);
    }

    QPoint CellCentre(int column, int row) const {
        return grid->visualRect(grid->model()->index(row - 1, column)).center();
    }
    void Click(int column, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(column, row));
    }
    // Opens the editor of the cell by typing into the grid; the editor then holds the focus.
    QLineEdit* TypeIntoCell(int column, int row, const QString& text) {
        grid->setFocus();
        grid->setCurrentCell(row - 1, column);
        QTest::keyClicks(grid, text.left(1));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor != nullptr) {
            QTest::keyClicks(editor, text.mid(1));
        }
        return editor;
    }

    ScratchDir dir;
    std::string iniPath = dir.File("brantel.ini");
    QWidget host;
    QLineEdit* before = new QLineEdit(&host);
    CommandGrid* grid = new CommandGrid(&host);
    QLineEdit* after = new QLineEdit(&host);
    QSignalSpy doubleClicks{grid, &CommandGrid::DoubleClicked};
};

TEST_F(CommandGridTest, LoadSetsHeadersWidthsAndLeavesTheCursorOnRowOne) {
    Load();
    ASSERT_EQ(grid->columnCount(), 50);
    ASSERT_EQ(grid->rowCount(), 29);
    const char* const named[] = {"Description", "Command", "Response", "Var1", "Var2", "Var3"};
    const int namedWidths[] = {110, 200, 200, 50, 50, 50};
    for (int column = 0; column < 50; ++column) {
        SCOPED_TRACE(column);
        const QString header = column < 6 ? named[column] : QString::number(column - 5);
        EXPECT_EQ(grid->horizontalHeaderItem(column)->text(), header);
        EXPECT_EQ(grid->columnWidth(column), column < 6 ? namedWidths[column] : 20);
    }
    EXPECT_EQ(grid->horizontalHeaderItem(49)->text(), "44");
    for (int row = 0; row < 29; ++row) {
        EXPECT_EQ(grid->rowHeight(row), 16) << row;
    }
    EXPECT_EQ(grid->horizontalHeader()->height(), 16);
    EXPECT_TRUE(grid->verticalHeader()->isHidden());
    EXPECT_EQ(grid->CurrentRow(), 1);
    EXPECT_EQ(grid->currentColumn(), 0);
    EXPECT_EQ(grid->CellText(0, 1), "");
}

TEST_F(CommandGridTest, TabLeavesTheGrid) {
    const struct {
        Qt::Key key;
        QWidget* focus;
    } cases[] = {{Qt::Key_Tab, after}, {Qt::Key_Backtab, before}};
    for (const auto& c : cases) {
        grid->setFocus();
        grid->setCurrentCell(2, 3);
        QTest::keyClick(grid, c.key);
        EXPECT_EQ(QApplication::focusWidget(), c.focus);
        EXPECT_EQ(grid->currentRow(), 2);
        EXPECT_EQ(grid->currentColumn(), 3);
    }
}

// Inside a cell's editor, Tab and Shift+Tab keep the edit and leave the grid; Esc puts back
// the text the cell had when the edit began, though every keystroke reached the cell.
TEST_F(CommandGridTest, EditorKeysLeaveTheGridOrCancelTheEdit) {
    const struct {
        const char* name;
        Qt::Key key;
        QWidget* focus;
        const char* cell;
    } cases[] = {
        {"Tab", Qt::Key_Tab, after, "new"},
        {"Shift+Tab", Qt::Key_Backtab, before, "new"},
        {"Esc", Qt::Key_Escape, grid, "old text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid->SetCellText(0, 4, "old text");
        QLineEdit* editor = TypeIntoCell(0, 4, "new");
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(grid->CellText(0, 4), "new");
        QTest::keyClick(editor, c.key);
        EXPECT_EQ(QApplication::focusWidget(), c.focus);
        EXPECT_EQ(grid->CellText(0, 4), c.cell);
        EXPECT_EQ(grid->indexWidget(grid->model()->index(3, 0)), nullptr);
        EXPECT_EQ(grid->CurrentRow(), 4);
    }
}

TEST_F(CommandGridTest, ClickMakesTheRowCurrentAndDoubleClickEmitsOnce) {
    Load();
    grid->SetCellText(1, 5, "A 01 L CRC");
    Click(1, 5);
    EXPECT_EQ(grid->CurrentRow(), 5);
    EXPECT_EQ(grid->currentColumn(), 1);
    Click(2, 7);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(2, 7));
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(grid->CurrentRow(), 7);
}

// A click on the selected cell opens its editor only after the double-click time; a box
// clicked and typed into meanwhile keeps the focus and the keys, and the cell stays as it was.
TEST_F(CommandGridTest, LateEditorLeavesTheFocusWhereTheUserPutIt) {
    grid->SetCellText(0, 2, "Status");
    grid->setFocus();
    Click(0, 2);
    Click(0, 2);
    after->setFocus();
    QTest::keyClicks(after, "Hi");
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    QTest::keyClicks(QApplication::focusWidget(), " 7");
    EXPECT_EQ(after->text(), "Hi 7");
    EXPECT_EQ(grid->CellText(0, 2), "Status");
    EXPECT_EQ(QApplication::focusWidget(), after);

    grid->setFocus();
    Click(0, 2);
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    EXPECT_EQ(QApplication::focusWidget()->parentWidget(), grid->viewport())
        << "a click alone still opens the editor";
}

TEST_F(CommandGridTest, DoubleClickOnTheHeaderEmitsAndKeepsTheCurrentRow) {
    Load();
    grid->setCurrentCell(3, 0);
    QWidget* header = grid->horizontalHeader()->viewport();
    const QPoint at(grid->horizontalHeader()->sectionViewportPosition(1) + 5, 5);
    QTest::mouseClick(header, Qt::LeftButton, {}, at);
    EXPECT_EQ(grid->CurrentRow(), 4);
    QTest::mouseDClick(header, Qt::LeftButton, {}, at);
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(grid->CurrentRow(), 4);
    EXPECT_EQ(grid->currentColumn(), 0);
}

// The scroll bars scroll the grid; a double-click on them, their arrows or their troughs sends
// nothing, whichever row holds the cursor.
TEST_F(CommandGridTest, DoubleClickOnAScrollBarDoesNotEmit) {
    Load();
    grid->setCurrentCell(3, 0);
    for (QScrollBar* bar : {grid->verticalScrollBar(), grid->horizontalScrollBar()}) {
        ASSERT_TRUE(bar->isVisible());
        const bool vertical = bar->orientation() == Qt::Vertical;
        const QPoint start = vertical ? QPoint(bar->width() / 2, 3) : QPoint(3, bar->height() / 2);
        for (const QPoint& at : {start, QPoint(bar->width(), bar->height()) - start,
                                 QPoint(bar->width() / 2, bar->height() / 2)}) {
            SCOPED_TRACE(std::string(vertical ? "vertical " : "horizontal ") +
                         std::to_string(at.x()) + "," + std::to_string(at.y()));
            QTest::mouseDClick(bar, Qt::LeftButton, {}, at);
            EXPECT_EQ(doubleClicks.count(), 0);
        }
    }
    EXPECT_EQ(grid->CurrentRow(), 4);
}

TEST_F(CommandGridTest, DoubleClickInsideTheCellEditorEmitsOnce) {
    QLineEdit* editor = TypeIntoCell(0, 2, "Ping");
    ASSERT_NE(editor, nullptr);
    QTest::mouseClick(editor, Qt::LeftButton);
    QTest::mouseDClick(editor, Qt::LeftButton);
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(grid->CurrentRow(), 2);
}

// What is typed is in the cell at once, before the editor closes; ";" and line breaks, which a
// stored row cannot hold, never get in.
TEST_F(CommandGridTest, EditorWritesEachChangeIntoTheCellAndRefusesRowBreaks) {
    const struct {
        const char* name;
        QString typed;
        QString pasted;
        const char* cell;
    } cases[] = {
        {"typed", "Ping", "", "Ping"},
        {"semicolon typed", "a;b;", "", "ab"},
        {"semicolon pasted", "x", "a;b", "xab"},
        {"only semicolons pasted", "y", ";;", "y"},
        {"line breaks pasted", "z", "a;b\nc\r\nd\r", "zabcd"},
    };
    int row = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QLineEdit* editor = TypeIntoCell(1, row, c.typed);
        ASSERT_NE(editor, nullptr);
        if (!c.pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(c.pasted);
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        }
        ASSERT_EQ(QApplication::focusWidget(), editor);
        EXPECT_EQ(editor->text(), c.cell);
        EXPECT_EQ(editor->cursorPosition(), editor->text().size());
        EXPECT_EQ(grid->CellText(1, row), c.cell);
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_EQ(grid->CellText(1, row), c.cell);
        ++row;
    }
}

// Typing or pasting in the middle of a cell's text leaves the caret after what went in.
TEST_F(CommandGridTest, EditingInTheMiddleKeepsTheCaretAfterTheNewText) {
    const struct {
        const char* name;
        const char* typed;
        QString pasted;
        const char* text;
        int caret;
    } cases[] = {
        {"typed", "bc", "", "abcd", 3},
        {"typed with a semicolon", "b;c", "", "abcd", 3},
        {"pasted with a semicolon", "", "b;c", "abcd", 3},
    };
    int row = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QLineEdit* editor = TypeIntoCell(0, row, "ad");
        ASSERT_NE(editor, nullptr);
        editor->setCursorPosition(1);
        QTest::keyClicks(editor, c.typed);
        if (!c.pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(c.pasted);
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        }
        EXPECT_EQ(editor->text(), c.text);
        EXPECT_EQ(editor->cursorPosition(), c.caret);
        EXPECT_EQ(grid->CellText(0, row), c.text);
        ++row;
    }
}

const std::string kPingValue = "Ping;A 01 L CRC;06;5" + Repeat("; ", 46);
const std::string kEmptyValue = " " + Repeat("; ", 49);

// The stored file as the table writes it: values with a blank at an end are quoted by the store.
TEST_F(CommandGridTest, SaveWritesEveryRowAsFiftyCellsInRowOrder) {
    ASSERT_EQ(kPingValue.size(), 112u);
    ASSERT_EQ(kEmptyValue.size(), 99u);
    Load();
    grid->SetCellText(0, 1, "Ping");
    grid->SetCellText(1, 1, "A 01 L CRC");
    grid->SetCellText(2, 1, "06");
    grid->SetCellText(3, 1, "5");
    Save();

    std::string expected = "[Main]\nCommand1=\"" + kPingValue + "\"\n";
    for (int row = 2; row <= 29; ++row) {
        expected += "Command" + std::to_string(row) + "=\"" + kEmptyValue + "\"\n";
    }
    EXPECT_EQ(FileText(iniPath), expected);
    const ProfileStore store(iniPath);
    EXPECT_EQ(store.ReadString("Main", "Command1", ""), kPingValue);
    EXPECT_EQ(store.ReadString("Main", "Command29", ""), kEmptyValue);
}

struct LoadCase {
    const char* name;
    std::string value;
    std::map<int, std::string> cells;  // column -> text; every other cell stays as it was
};

TEST_F(CommandGridTest, LoadSplitsHandEditedValuesOverSemicolons) {
    std::string fiftyTwo;
    for (int field = 0; field < 52; ++field) {
        fiftyTwo += (field ? ";" : "") + std::string("f") + std::to_string(field);
    }
    const LoadCase cases[] = {
        {"the Ping row",
         kPingValue,
         {{0, "Ping"}, {1, "A 01 L CRC"}, {2, "06"}, {3, "5"}, {4, " "}}},
        {"empty fields collapse", "a;;b;;;c", {{0, "a"}, {1, "b"}, {2, "c"}, {3, "keep"}}},
        {"leading and trailing semicolons give no field", ";lead;", {{0, "lead"}, {1, "keep"}}},
        {"blanks are kept", "   ;x ", {{0, "   "}, {1, "x "}}},
        {"fields beyond the fiftieth are dropped", fiftyTwo, {{0, "f0"}, {49, "f49"}}},
        {"an empty value changes nothing", "", {{0, "keep"}, {1, "keep"}}},
    };
    std::string file = "[Main]\n";
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        file += "Command" + std::to_string(i + 1) + "=\"" + cases[i].value + "\"\n";
    }
    SetFileText(iniPath, file);
    for (int row = 1; row <= static_cast<int>(std::size(cases)); ++row) {
        for (int column = 0; column < 50; ++column) {
            grid->SetCellText(column, row, "keep");
        }
    }
    Load();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        const int row = static_cast<int>(i) + 1;
        for (const auto& [column, text] : cases[i].cells) {
            EXPECT_EQ(grid->CellText(column, row), text) << "column " << column;
        }
    }
}

// What a save writes, a load puts back into the same cells; an empty cell comes back as one
// blank and is stable from then on.
TEST_F(CommandGridTest, SavedTableReloadsIntoTheSameCells) {
    const std::map<std::pair<int, int>, std::string> cells = {
        {{0, 1}, "Read status"}, {{1, 1}, "A 03 L CRC"}, {{3, 1}, "5"},
        {{1, 2}, "   "},         {{49, 2}, "last"},      {{0, 29}, "\"quoted\""},
        {{2, 3}, "'single'"},    {{0, 4}, " lead"},      {{5, 4}, "trail "}};
    for (const auto& [at, text] : cells) {
        grid->SetCellText(at.first, at.second, text);
    }
    Save();
    const std::string firstSave = FileText(iniPath);
    CommandGrid reloaded;
    LoadCommandTable(reloaded, ProfileStore(iniPath));
    for (int row = 1; row <= 29; ++row) {
        for (int column = 0; column < 50; ++column) {
            const auto found = cells.find({column, row});
            const std::string expected = found == cells.end() ? " " : found->second;
            ASSERT_EQ(reloaded.CellText(column, row), expected)
                << "column " << column << ", row " << row;
        }
    }
    ProfileStore store(iniPath);
    SaveCommandTable(reloaded, store);
    EXPECT_EQ(FileText(iniPath), firstSave);
}

TEST_F(CommandGridTest, SaveLeavesOtherKeysOfTheSectionAlone) {
    SetFileText(iniPath, "[TForm1]\nPortNumber_Value=3\n[Main]\nNote=keep me\nCommand0=old\n");
    Save();
    const ProfileStore store(iniPath);
    EXPECT_EQ(store.ReadString("Main", "Note", ""), "keep me");
    EXPECT_EQ(store.ReadString("Main", "Command0", ""), "old");
    EXPECT_EQ(store.ReadString("TForm1", "PortNumber_Value", ""), "3");
    EXPECT_EQ(store.ReadString("Main", "Command29", ""), kEmptyValue);
}

// Notes made from a row's cells as they are when asked for, as the window makes them from a
// template: Var1 "w" or "e" marks a warning or an error, and the tooltip shows the row, its
// Command and Var1 cells and a text from outside the grid.
class CommandNotesTest : public CommandGridTest {
  protected:
    CommandNotesTest() {
        grid->SetCommandNotes([this](int row, bool withToolTip) {
            const std::string var = grid->CellText(3, row);
            CommandNote note;
            note.mark = var == "w"   ? CommandNote::Mark::Warning
                        : var == "e" ? CommandNote::Mark::Error
                                     : CommandNote::Mark::None;
            if (withToolTip) {
                note.toolTip = QString("%1|%2|%3|%4")
                                   .arg(row)
                                   .arg(FromBytes(grid->CellText(1, row)), FromBytes(var), outside);
            }
            return note;
        });
        grid->SetCellText(0, 2, "Status");
        grid->SetCellText(1, 2, "A 01 L CRC");
    }

    QImage OnScreen(int column, int row) {
        return test::OnScreen(*grid->viewport(),
                              grid->visualRect(grid->model()->index(row - 1, column)));
    }
    static int Pixels(const QImage& image, CommandNote::Mark mark) {
        return PixelsOf(image, MarkColour(mark));
    }

    QString outside = "x";
};

// The mark is drawn under the Command cell's text as the row's cells change, in the editor too,
// while the cell's text and the other cells stay as they were.
TEST_F(CommandNotesTest, MarkFollowsTheRowAndTouchesNothingElse) {
    using Mark = CommandNote::Mark;
    const QImage description = OnScreen(0, 2);
    const QImage below = OnScreen(1, 3);
    const QImage plain = OnScreen(1, 2);
    ASSERT_EQ(Pixels(plain, Mark::Warning) + Pixels(plain, Mark::Error), 0);
    const struct {
        const char* var;
        Mark mark;
    } cases[] = {{"w", Mark::Warning}, {"e", Mark::Error}, {"", Mark::None}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.var);
        grid->SetCellText(3, 2, c.var);
        const QImage command = OnScreen(1, 2);
        EXPECT_EQ(Pixels(command, Mark::Warning) > 0, c.mark == Mark::Warning);
        EXPECT_EQ(Pixels(command, Mark::Error) > 0, c.mark == Mark::Error);
        EXPECT_EQ(command == plain, c.mark == Mark::None);
        EXPECT_EQ(OnScreen(0, 2), description);
        EXPECT_EQ(OnScreen(1, 3), below);
        EXPECT_EQ(grid->CellText(1, 2), "A 01 L CRC");
        EXPECT_FALSE(grid->item(1, 1)->data(Qt::ToolTipRole).isValid());
    }
    QLineEdit* editor = TypeIntoCell(1, 2, "A D");
    ASSERT_NE(editor, nullptr);
    grid->SetCellText(3, 2, "e");
    EXPECT_GT(Pixels(OnScreen(1, 2), Mark::Error), 0);
    grid->SetCellText(3, 2, "");
    EXPECT_EQ(Pixels(OnScreen(1, 2), Mark::Error), 0);
}

// Hovering a Command cell, or its editor, shows the row's note; the tooltip on show follows
// every change of the row and of what the notes read from outside.
TEST_F(CommandNotesTest, TooltipFollowsEdits) {
    Hover(*grid->viewport(), CellCentre(1, 2));
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "2|A 01 L CRC||x");
    grid->SetCellText(3, 2, "5");
    EXPECT_EQ(QToolTip::text(), "2|A 01 L CRC|5|x");
    grid->SetCellText(3, 3, "7");
    EXPECT_EQ(QToolTip::text(), "2|A 01 L CRC|5|x");
    outside = "y";
    grid->RefreshCommandNotes();
    EXPECT_EQ(QToolTip::text(), "2|A 01 L CRC|5|y");

    Hover(*grid->viewport(), CellCentre(0, 2));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));

    QLineEdit* editor = TypeIntoCell(1, 4, "A 02");
    ASSERT_NE(editor, nullptr);
    Hover(*editor, editor->rect().center());
    EXPECT_EQ(QToolTip::text(), "4|A 02||y");
    QTest::keyClicks(editor, " CRC");
    EXPECT_EQ(QToolTip::text(), "4|A 02 CRC||y");
}

}  // namespace
}  // namespace brantel::test
