#include <QSessionManager>

#include "app/application.h"
#include "app/program_state.h"
#include "app/tform1.h"

int main(int argc, char** argv) {
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
