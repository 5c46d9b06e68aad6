#include <gtest/gtest.h>

#include <QAction>
#include <chrono>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "support/hex_bytes.h"
#include "support/window_fixture.h"

namespace brantel::test {
namespace {

using std::chrono::milliseconds;

// With "Answer Requests" on, the window is the device its table describes: a request from the
// other end of the line is answered by the row it matches, a value it writes is read back, a
// frame no row matches is only logged; off, nothing is answered.
TEST(AnswerRequests, TheWindowAnswersWhatItsTableDescribes) {
    WindowFixture fixture;
    fixture.WriteIni(
        "[Main]\nCommand1=Read;A 03 L R CRC;A 03 L V CRC\n"
        "Command2=Write;A 04 L R V CRC;A 84 L CRC\n[Answers]\nV=7\n[Checks]\nAnswer=1\n");
    TForm1& form = fixture.Start();
    PtyDevice& host = fixture.Device(2);
    const struct {
        std::string request;
        std::string answer;
        std::string line;
    } exchanges[] = {
        {"50 03 05 10 68", "50 03 05 07 5F", "// answered row 1"},
        {"50 04 06 10 2A 94", "50 84 04 D8", "// answered row 2"},
        {"50 03 05 10 68", "50 03 05 2A 82", "// answered row 1"},
        {"51 03 05 10 69", "", "// no row matches"},
    };
    for (const auto& exchange : exchanges) {
        const std::size_t before = fixture.Log().size();
        host.Write(Bytes(exchange.request));
        std::vector<LoggedLine> expected = {Blue(exchange.request + " "), Teal(exchange.line)};
        if (!exchange.answer.empty()) {
            expected.push_back(Red(exchange.answer + " "));
        }
        ASSERT_TRUE(WaitUntil([&] { return fixture.Log().size() >= before + expected.size(); }))
            << exchange.request;
        EXPECT_EQ(host.ReadFor(milliseconds(100)), Bytes(exchange.answer)) << exchange.request;
        const std::vector<LoggedLine> log = fixture.Log();
        EXPECT_EQ(std::vector(log.begin() + static_cast<std::ptrdiff_t>(before), log.end()),
                  expected);
    }
    form.findChild<QAction*>("AnswerRequests")->setChecked(false);
    host.Write(Bytes("50 03 05 10 68"));
    ASSERT_TRUE(WaitUntil([&] { return fixture.Log().back() == Blue("50 03 05 10 68 "); }));
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(fixture.Log().back(), Blue("50 03 05 10 68 "));
    EXPECT_EQ(host.ReadFor(milliseconds(50)), "");
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

}  // namespace
}  // namespace brantel::test
