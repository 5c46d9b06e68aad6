#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <chrono>
#include <functional>
#include <future>

#include "app/program_state.h"
#include "app/tform1.h"
#include "commands/command_row.h"
#include "faults/fault_helpers.h"
#include "options/form_storage.h"
#include "platform/profile_store.h"
#include "text/hex_line.h"
#include "widgets/command_grid.h"

namespace brantel::test {
namespace {

using std::chrono::seconds;

std::string Repeated(const std::string& piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// "n0:0 n1:1 ..." up to a megabyte.
std::string MegabyteOfParameters() {
    std::string text;
    for (int i = 0; text.size() < (1u << 20); ++i) {
        text += "n" + std::to_string(i) + ":" + std::to_string(i) + " ";
    }
    return text.substr(0, 1u << 20);
}

std::string AdditiveChecksummed(std::string frame, std::size_t position) {
    unsigned sum = 0;
    for (const char byte : frame) {
        sum += static_cast<unsigned char>(byte);
    }
    frame[position] = static_cast<char>(sum & 0xFF);
    return frame;
}

struct LargeSendCase {
    const char* name;
    std::string parameters;
    std::string description;
    std::string frameTemplate;
    std::string var1;
    // The frame the device gets, whole; empty when the send is refused with `error`.
    std::string frame;
    std::string error;
};

class LargeInputTest : public ::testing::Test {
  protected:
    TForm1& StartOn(const std::string& sections) {
        fixture.WriteIni(sections);
        TForm1& form = fixture.Start();
        Named<QTabWidget>(form, "PageControl1")
            ->setCurrentWidget(Named<QWidget>(form, "TabSheet1"));
        EXPECT_TRUE(WaitUntil([&] { return Named<CommandGrid>(form, "CmdGrid")->isVisible(); }));
        return form;
    }

    WindowFixture fixture;
};

// Long templates, parameter texts and cells are built, sent and logged whole.
TEST_F(LargeInputTest, LongTemplatesParametersAndCellsAreSentWhole) {
    const std::string ones(10000, '\x01');
    const std::string digits(100000, '7');
    const LargeSendCase cases[] = {
        {"10,000 byte tokens", "", "ones", Repeated("01 ", 10000), "", ones, ""},
        {"length and checksum among 10,000 tokens", "", "sum", "L CRC " + Repeated("0FF ", 9998),
         "", AdditiveChecksummed("\x10" + std::string(1, '\0') + std::string(9998, '\xFF'), 1), ""},
        {"10,000 named parameters", "p:AB", "named", Repeated("p ", 10000), "",
         Repeated("AB", 10000), ""},
        // Only the first 50 pairs count, so n50 is a variable.
        // Only the first 50 pairs count: n50 is then a variable with a repeat count of 0.
        {"a parameters text of 1 MB", MegabyteOfParameters(), "mega", "n0 n49 n50", "9", "049", ""},
        {"a description of 100,000 characters", "", std::string(100000, 'd'), "01", "", "\x01", ""},
        {"a variable of 100,000 digits", "", "digits", "V", digits, "",
         "'" + digits + "' is not a valid integer value."},
    };
    TForm1& form = StartOn("");
    for (const LargeSendCase& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype errorsBefore = fixture.NewErrors().size();
        Named<QLineEdit>(form, "Parameters")->setText(QString::fromStdString(c.parameters));
        Named<CommandGrid>(form, "CmdGrid")->SetCellText(0, 1, c.description);
        Named<CommandGrid>(form, "CmdGrid")->SetCellText(1, 1, c.frameTemplate);
        Named<CommandGrid>(form, "CmdGrid")->SetCellText(3, 1, c.var1);
        Named<CommandGrid>(form, "CmdGrid")->setCurrentCell(0, 0);
        // The device reads while the program writes: a frame may outgrow the line's buffer.
        std::future<std::string> arrived = std::async(std::launch::async, [&] {
            return fixture.Device(2).Read(c.frame.size(), std::chrono::milliseconds(10000));
        });
        QTest::mouseClick(Named<QPushButton>(form, "SendCmdBtn"), Qt::LeftButton);
        EXPECT_TRUE(SameBytes(arrived.get(), c.frame));

        const std::vector<LoggedLine> log = fixture.Log();
        ASSERT_GE(log.size(), 2u);
        const std::string values = c.var1.empty() ? "" : " (" + c.var1 + ")";
        const LoggedLine annotation = Teal("// " + c.description + values + " :");
        if (c.error.empty()) {
            EXPECT_EQ(log[log.size() - 2], annotation);
            EXPECT_EQ(log.back(), Red(HexLine(c.frame)));
            EXPECT_EQ(fixture.NewErrors().mid(errorsBefore), QStringList());
        } else {
            EXPECT_EQ(log.back(), annotation);
            EXPECT_EQ(fixture.NewErrors().mid(errorsBefore),
                      QStringList{WindowFixture::Title() + "|" + QString::fromStdString(c.error)});
        }
    }
}

struct StoredTextCase {
    const char* key;
    std::string text;
    std::function<QString(const TForm1&)> shown;
};

// Long texts read from the INI file survive their controls, an edit in a cell's editor and the
// save: nothing is cut.
TEST_F(LargeInputTest, LongStoredTextsComeBackWhole) {
    const StoredTextCase texts[] = {
        {"Parameters_Text", MegabyteOfParameters(),
         [](const TForm1& form) { return Named<QLineEdit>(form, "Parameters")->text(); }},
        {"AddressEdit_Text", std::string(40000, '5'),
         [](const TForm1& form) { return Named<QLineEdit>(form, "AddressEdit")->text(); }},
        {"PortSpeed_Text", std::string(40000, '9'),
         [](const TForm1& form) { return Named<QComboBox>(form, "PortSpeed")->currentText(); }},
    };
    const std::string cell(100000, 'c');
    std::string options = "[TForm1]\n";
    for (const StoredTextCase& text : texts) {
        options += std::string(text.key) + "=" + text.text + "\n";
    }
    TForm1& form = StartOn(options + "[Main]\nCommand1=" + cell + ";01\n");
    for (const StoredTextCase& text : texts) {
        EXPECT_TRUE(SameBytes(text.shown(form).toStdString(), text.text)) << text.key;
    }
    EXPECT_EQ(fixture.State().namedParams.NamedParamCount(), kMaxNamedParams);
    EXPECT_TRUE(SameBytes(Named<CommandGrid>(form, "CmdGrid")->CellText(0, 1), cell));

    Named<CommandGrid>(form, "CmdGrid")->setCurrentCell(0, 0);
    Named<CommandGrid>(form, "CmdGrid")->setFocus();
    Named<CommandGrid>(form, "CmdGrid")->editItem(Named<CommandGrid>(form, "CmdGrid")->item(0, 0));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, "x");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(SameBytes(Named<CommandGrid>(form, "CmdGrid")->CellText(0, 1), cell + "x"));

    form.close();
    ASSERT_FALSE(form.isVisible());
    const ProfileStore store(fixture.IniPath());
    for (const StoredTextCase& text : texts) {
        EXPECT_TRUE(SameBytes(store.ReadString(kOptionsSection, text.key, ""), text.text))
            << text.key;
    }
    EXPECT_TRUE(SameBytes(store.ReadString(kCommandSection, CommandKey(1), ""),
                          EncodeCommandRow({cell + "x", "01"})));
    EXPECT_TRUE(fixture.NewErrors().isEmpty()) << fixture.NewErrors().join("\n").toStdString();
}

}  // namespace
}  // namespace brantel::test
