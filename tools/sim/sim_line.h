#pragma once

#include <string>

namespace brantel::sim {

// The simulated device's line: a pseudo-terminal whose master side the simulator reads and
// writes, with its device side held open so a client can connect at any time, and an
// optional symbolic link to that device.
class SimLine {
  public:
    // Throws std::runtime_error with the reason when the line or the link cannot be made.
    explicit SimLine(std::string link);
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    int Master() const { return master_; }
    const std::string& DevicePath() const { return devicePath_; }
    // Sends all of bytes to the client (dropped when nobody is reading and the line is full).
    void Send(const std::string& bytes) const;

  private:
    int master_ = -1;
    int device_ = -1;
    std::string devicePath_;
    std::string link_;
};

}  // namespace brantel::sim
