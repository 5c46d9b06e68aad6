#include <QSessionManager>
#include <iostream>
#include <string_view>

#include "app/application.h"
#include "app/program_state.h"
#include "app/tform1.h"
#include "version/version.h"

namespace {

constexpr std::string_view kUsage =
    "usage: brantel [QT-OPTION]...\n"
    "       brantel --help | --version\n"
    "Opens the window of Brantel, a tool for exercising a device's command protocol over a\n"
    "serial line. It takes no arguments of its own besides --help and --version, which need\n"
    "no display; Qt's own options (such as -platform or -style) go to Qt.\n"
    "Settings: brantel.ini beside the executable when the program may replace it there,\n"
    "otherwise ~/.config/Brantel/brantel.ini ($XDG_CONFIG_HOME/Brantel when that is set).\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before the application object exists, so they need no display.
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (first == "--help" || first == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (first == "--version") {
        std::cout << brantel::VersionLine("brantel");
        return 0;
    }
    brantel::Application app(argc, argv);
    Q_INIT_RESOURCE(brantel);
    brantel::ProgramState state;
    brantel::TForm1 form(state);
    brantel::Application::RunReported([&form] { form.FormCreate(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.SaveAtSessionEnd(); });
    form.show();
    return app.exec();
}
