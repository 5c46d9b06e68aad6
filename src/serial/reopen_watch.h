#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

namespace brantel {

// Waits for a vanished local device to come back and then asks for its port to be opened again.
// It looks only while a device is missing, a few times a second, so a port that is present
// costs nothing.
class ReopenWatch : public QObject {
    Q_OBJECT
  public:
    explicit ReopenWatch(std::function<void()> reopen, QObject* parent = nullptr);

    // Starts waiting for `device` (a path); a network address is not watched.
    void Watch(const std::string& device);
    void Stop();
    bool Watching() const { return timer_.isActive(); }

  private:
    void Look();

    std::function<void()> reopen_;
    QTimer timer_;
    std::string device_;
    // Looks in a row that found the device: it is opened once it has stayed a moment, after
    // the system has given it its owner and mode.
    int seen_ = 0;
};

}  // namespace brantel
