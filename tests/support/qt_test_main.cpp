#include <gmock/gmock.h>

#include "app/application.h"
#include "support/recorded_errors.h"

namespace brantel::test {

QStringList& RecordedErrors() {
    static QStringList errors;
    return errors;
}

}  // namespace brantel::test

// Widget and serial tests need the application object with its error dispatch; its errors are
// recorded instead of shown in a modal box.
int main(int argc, char** argv) {
    brantel::Application app(argc, argv);
    app.SetErrorReporter([](const QString& caption, const QString& text) {
        brantel::test::RecordedErrors().append(caption + "|" + text);
    });
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
