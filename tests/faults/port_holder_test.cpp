#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QTest>
#include <functional>
#include <memory>

#include "app/program_state.h"
#include "app/tform1.h"
#include "faults/fault_helpers.h"

namespace brantel::test {
namespace {

// A second attempt on a held port: what it logged, and what keeps it alive.
struct SecondAttempt {
    std::vector<LoggedLine> lines;
    std::shared_ptr<void> holder;
};

struct SecondHolderCase {
    const char* name;
    std::function<SecondAttempt(WindowFixture& first)> openAgain;
};

// The first window's port, bytes both ways.
void ExpectBytesFlow(WindowFixture& first, const std::string& word) {
    first.Device(2).Write(word);
    EXPECT_TRUE(WaitUntil([&] { return first.Log().back().colour == kReceivedBlue; }));
    EXPECT_EQ(Named<QLineEdit>(first.Form(), "Edit1")->text(), QString::fromStdString(word));
    Named<QLineEdit>(first.Form(), "Edit2")->setText(QString::fromStdString(word));
    QTest::mouseClick(Named<QPushButton>(first.Form(), "Button5"), Qt::LeftButton);
    EXPECT_EQ(first.Device(2).Read(word.size()), word);
}

// A second holder of a port gets the busy line; the first keeps the port, and keeps it after
// the second has given up.
TEST(PortHolderTest, SecondHolderIsBusyAndTheFirstKeepsWorking) {
    const SecondHolderCase cases[] = {
        {"a second port connection",
         [](WindowFixture& first) {
             auto recorder = std::make_shared<LogRecorder>();
             auto second = std::make_shared<PortConnection>(
                 recorder->Sink(), [device = first.DevicePath(2)](int) {
                     return std::optional<std::string>(device);
                 });
             EXPECT_FALSE(second->OpenPort(2, {}));
             EXPECT_EQ(second->PortHandle(), nullptr);
             return SecondAttempt{recorder->lines, second};
         }},
        {"a second window",
         [](WindowFixture& first) {
             auto second = std::make_shared<WindowFixture>();
             second->WriteIni(PortMapping(2, first.DevicePath(2)));
             second->Start();
             EXPECT_EQ(second->Form().StatusText(), "COM2: is Busy");
             return SecondAttempt{second->Log(), second};
         }},
    };
    for (const SecondHolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture first;
        first.WriteIni("");
        first.Start();
        SecondAttempt second = c.openAgain(first);
        EXPECT_EQ(second.lines, std::vector{Green("Port COM2: is Busy")});
        ExpectBytesFlow(first, "while");
        second.holder.reset();
        ExpectBytesFlow(first, "after");
        QSerialPort third(QString::fromStdString(first.DevicePath(2)));
        EXPECT_FALSE(third.open(QIODevice::ReadWrite));
        EXPECT_EQ(first.Form().StatusText(), "COM2: is Opened");
        EXPECT_TRUE(first.NewErrors().isEmpty()) << first.NewErrors().join("\n").toStdString();
    }
}

}  // namespace
}  // namespace brantel::test
