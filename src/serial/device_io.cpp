#include "serial/device_io.h"

#include <sys/ioctl.h>

namespace brantel {

void FetchPending(QIODevice& device, qintptr descriptor, int most) {
    int pending = 0;
    if (device.bytesAvailable() < most &&
        ioctl(static_cast<int>(descriptor), FIONREAD, &pending) == 0 && pending > 0) {
        device.waitForReadyRead(0);
    }
}

std::optional<qint64> WriteWithin(QIODevice& device, std::string_view bytes,
                                  const QDeadlineTimer& deadline) {
    const auto size = static_cast<qint64>(bytes.size());
    if (device.write(bytes.data(), size) != size) {
        return std::nullopt;
    }
    while (device.isOpen() && device.bytesToWrite() > 0 &&
           device.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
    }
    if (!device.isOpen()) {
        return std::nullopt;
    }
    return device.bytesToWrite();
}

QDeadlineTimer WriteDeadline(std::size_t bytes) {
    return QDeadlineTimer(2 * static_cast<qint64>(bytes) + 2);
}

}  // namespace brantel
