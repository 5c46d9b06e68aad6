// From a press of "Send Cmd" to the frame's last byte handed to the driver, through the real
// window, its command grid, the frame builder and the raw writer, on a pseudo-terminal.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/application.h"
#include "app/program_state.h"
#include "app/tform1.h"
#include "platform/profile_store.h"
#include "support/named.h"
#include "widgets/command_grid.h"

namespace {

struct Pty {
    Pty() {
        openpty(&master, &slave, nullptr, nullptr, nullptr);
        fcntl(master, F_SETFL, O_NONBLOCK);
        path = ttyname(slave);
    }
    ~Pty() {
        close(master);
        close(slave);
    }
    void Drain() const {
        char buffer[4096];
        while (read(master, buffer, sizeof buffer) > 0) {
        }
    }
    int master = -1;
    int slave = -1;
    std::string path;
};

void SendRow(benchmark::State& state, const std::string& command, const std::string& var1) {
    QTemporaryDir dir;
    Pty device;
    brantel::ProgramState program;
    const std::string ini = QDir(dir.path()).filePath("brantel.ini").toStdString();
    brantel::ProfileStore(ini).WriteString("Ports", "COM2", device.path);
    program.shell.locateIni = [ini] { return ini; };
    brantel::TForm1 form(program);
    form.FormCreate();
    brantel::test::Named<brantel::CommandGrid>(form, "CmdGrid")->SetCellText(0, 1, "Bench");
    brantel::test::Named<brantel::CommandGrid>(form, "CmdGrid")->SetCellText(1, 1, command);
    brantel::test::Named<brantel::CommandGrid>(form, "CmdGrid")->SetCellText(3, 1, var1);
    brantel::test::Named<QLineEdit>(form, "Parameters")->setText("N:12 S:hello");
    for (auto _ : state) {
        brantel::test::Named<QPushButton>(form, "SendCmdBtn")->click();
        state.PauseTiming();
        device.Drain();
        state.ResumeTiming();
    }
}

void BM_SendStatus(benchmark::State& state) {
    SendRow(state, "A 02 L CRC", "");
}
BENCHMARK(BM_SendStatus);

void BM_SendVariablesAndParameters(benchmark::State& state) {
    SendRow(state, "A 01 L D2 N S [x] CRC", "300");
}
BENCHMARK(BM_SendVariablesAndParameters);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    brantel::Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
