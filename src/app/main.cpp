#include <QSessionManager>
#include <iostream>
#include <string_view>

#include "app/application.h"
#include "app/program_state.h"
#include "app/tform1.h"
#include "version/version.h"

int main(int argc, char** argv) {
    // Answered before the application object exists, so it needs no display.
    if (argc > 1 && std::string_view(argv[1]) == "--version") {
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
