#pragma once

#include <QObject>
#include <stdexcept>
#include <string>

namespace brantel::test {

// The object under `root` whose object name is `name` (a control of the window, found as a
// user finds it by its name); the test fails with the name when there is none.
template <typename T>
T* Named(const QObject& root, const char* name) {
    T* const found = root.findChild<T*>(name);
    if (found == nullptr) {
        throw std::logic_error(std::string("no ") + name + " in " +
                               root.objectName().toStdString());
    }
    return found;
}

}  // namespace brantel::test
