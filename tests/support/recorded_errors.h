#pragma once

#include <QString>
#include <QStringList>

namespace brantel::test {

// Every error the application reported during the test program, as "caption|text".
QStringList& RecordedErrors();

}  // namespace brantel::test
