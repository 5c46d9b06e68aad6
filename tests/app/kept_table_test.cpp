#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <optional>

#include "app/tform1.h"
#include "platform/ini_lock.h"
#include "support/ended_pid.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"

namespace brantel::test {
namespace {

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The warning box at start, if one comes: its text, answered with the button named `answer`.
struct Warning {
    bool shown = false;
    QString text;
};

void AnswerWarningWith(const char* answer, Warning& warning) {
    QTimer::singleShot(0, [answer, &warning] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        warning = {true, box->text()};
        box->findChild<QPushButton*>(answer)->click();
    });
}

// A second window on an INI file: a live lock asks once, and read-only keeps the other
// window's table; a stale lock is taken over without a word.
TEST(KeptTable, ALiveLockAsksAndReadOnlyNeverSavesTheTable) {
    const std::string host = ThisProcess().host;
    const std::string live = LockOwnerText({static_cast<long>(::getppid()), host});
    const struct {
        const char* what;
        std::optional<std::string> lock;
        const char* answer;
        bool asked;
        bool readOnly;
    } cases[] = {
        {"no lock", std::nullopt, "ReadOnlyButton", false, false},
        {"a stale lock", LockOwnerText({EndedPid(), host}), "ReadOnlyButton", false, false},
        {"a live lock, read-only", live, "ReadOnlyButton", true, true},
        {"a live lock, save anyway", live, "SaveAnywayButton", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WindowFixture fixture;
        fixture.WriteIni("[Main]\nCommand1=Kept\n");
        const std::string lockPath = fixture.IniPath() + ".lock";
        if (c.lock) {
            SetFileText(lockPath, *c.lock);
        }
        Warning warning;
        AnswerWarningWith(c.answer, warning);
        TForm1& form = fixture.Start();

        EXPECT_EQ(warning.shown, c.asked);
        if (c.asked) {
            EXPECT_TRUE(warning.text.contains(QString::fromStdString(fixture.IniPath())));
            EXPECT_TRUE(warning.text.contains(QString::number(::getppid())));
        }
        EXPECT_EQ(form.TableReadOnly(), c.readOnly);
        EXPECT_EQ(form.windowTitle().endsWith(" [table read-only]"), c.readOnly);
        EXPECT_EQ(FileText(lockPath), c.readOnly ? *c.lock : LockOwnerText(ThisProcess()));

        Named<CommandGrid>(form, "CmdGrid")->SetCellText(0, 1, "Edited");
        QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(Holds(fixture.IniText(), "\nPortSpeed_Text=9600\n"));
        EXPECT_EQ(Holds(fixture.IniText(), "Command1=\"Edited; ;"), !c.readOnly);
        form.close();
        EXPECT_EQ(Holds(fixture.IniText(), "Command1=Kept\n"), c.readOnly);
        fixture.Destroy();
        EXPECT_EQ(std::filesystem::exists(lockPath), c.readOnly);
        EXPECT_TRUE(fixture.NewErrors().isEmpty());
    }
}

}  // namespace
}  // namespace brantel::test
