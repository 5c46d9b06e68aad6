#include "support/window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

#include "app/application.h"
#include "app/program_state.h"
#include "app/tform1.h"
#include "log/traffic_log.h"
#include "support/recorded_errors.h"

namespace brantel::test {

std::vector<LoggedLine> LoggedLines(const TrafficLog& log) {
    std::vector<LoggedLine> entries;
    for (int index = 0; index < log.LineCount(); ++index) {
        entries.push_back({log.LineText(index).toStdString(), log.LineColour(index)});
    }
    return entries;
}

LoggedLine Green(const std::string& text) {
    return {text, kPortStatusGreen};
}
LoggedLine Red(const std::string& text) {
    return {text, kSentRed};
}
LoggedLine Blue(const std::string& text) {
    return {text, kReceivedBlue};
}
LoggedLine Teal(const std::string& text) {
    return {text, kAnnotationTeal};
}

WindowFixture::WindowFixture()
    : iniPath_(dir_.File("brantel.ini")), errorsBefore_(RecordedErrors().size()) {}

WindowFixture::~WindowFixture() {
    Destroy();
}

void WindowFixture::WriteIni(const std::string& sections) {
    SetFileText(iniPath_, sections + "[Ports]\nCOM2=" + two_.SlavePath() +
                              "\nCOM3=" + three_.SlavePath() + "\n");
}

TForm1& WindowFixture::Start() {
    state_ = std::make_unique<ProgramState>();
    state_->shell.locateIni = [this] { return iniPath_; };
    form_ = std::make_unique<TForm1>(*state_);
    Application::RunReported([this] { form_->FormCreate(); });
    form_->show();
    form_->activateWindow();
    if (!QTest::qWaitForWindowActive(form_.get())) {
        ADD_FAILURE() << "the main window never became active";
    }
    return *form_;
}

void WindowFixture::Destroy() {
    form_.reset();
    state_.reset();
}

std::vector<LoggedLine> WindowFixture::Log() const {
    return LoggedLines(*Named<TrafficLog>(*form_, "SerialMemo"));
}

QStringList WindowFixture::NewErrors() const {
    return RecordedErrors().mid(errorsBefore_);
}

QString WindowFixture::Title() {
    return static_cast<Application*>(QCoreApplication::instance())->Title();
}

}  // namespace brantel::test
