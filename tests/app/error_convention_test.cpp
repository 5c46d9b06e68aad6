#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <variant>

#include "app/program_state.h"
#include "app/tform1.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"
#include "widgets/port_number_edit.h"

namespace brantel::test {
namespace {

QString Reported(const QString& text) {
    return WindowFixture::Title() + "|" + text;
}

// Each keystroke re-parses the whole text, so a bad value is reported once per change while it
// stays, and the window takes further input after each report.
TEST(ErrorConvention, FailingHandlerIsReportedOnceAndTheProgramCarriesOn) {
    WindowFixture fixture;
    TForm1& form = fixture.Start();
    QTest::mouseClick(Named<QLineEdit>(form, "Parameters"), Qt::LeftButton);
    const struct {
        const char* typed;
        const char* text;
        QStringList errors;
    } steps[] = {
        {"N:12", "N:12", {}},
        {"a", "N:12a", {Reported("'12a' is not a valid integer value.")}},
        {"b", "N:12ab", {Reported("'12ab' is not a valid integer value.")}},
        {"\b\b", "N:12", {Reported("'12a' is not a valid integer value.")}},
        {" M:x", "N:12 M:x", {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed);
        const qsizetype before = fixture.NewErrors().size();
        QTest::keyClicks(Named<QLineEdit>(form, "Parameters"), step.typed);
        EXPECT_EQ(Named<QLineEdit>(form, "Parameters")->text(), step.text);
        EXPECT_EQ(fixture.NewErrors().mid(before), step.errors);
    }
    const NamedParam* n = fixture.State().namedParams.LookupNamedParam("N");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(std::get<std::int32_t>(n->value), 12);
    EXPECT_EQ(fixture.State().namedParams.NamedParamCount(), 2);
    QTest::mouseClick(Named<QPushButton>(form, "Button6"), Qt::LeftButton);
    EXPECT_EQ(form.StatusText(), "COM-Port Closed");
}

// A failing start-up step is reported and the others still run, so the stored table is loaded
// and the next close writes it back rather than empty rows.
TEST(ErrorConvention, FailingStartUpStepIsReportedAndTheOthersStillRun) {
    WindowFixture fixture;
    fixture.WriteIni("[TForm1]\nParameters_Text=x:1a\n[Main]\nCommand1=Ping;A 01 L CRC\n");
    TForm1& form = fixture.Start();

    EXPECT_EQ(fixture.NewErrors(), QStringList{Reported("'1a' is not a valid integer value.")});
    EXPECT_EQ(Named<QLineEdit>(form, "Parameters")->text(), "x:1a");
    EXPECT_EQ(fixture.Log(), std::vector{Green("Port COM2: is Opened")});
    EXPECT_NE(fixture.State().port.PortHandle(), nullptr);
    EXPECT_EQ(Named<CommandGrid>(form, "CmdGrid")->CellText(1, 1), "A 01 L CRC");
    EXPECT_EQ(Named<CommandGrid>(form, "CmdGrid")->horizontalHeaderItem(0)->text(), "Description");
    EXPECT_TRUE(fixture.State().shell.ready);
    EXPECT_TRUE(form.isVisible());

    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_NE(fixture.IniText().find("\nCommand1=\"Ping;A 01 L CRC; ;"), std::string::npos);
}

}  // namespace
}  // namespace brantel::test
