#pragma once

#include <QDeadlineTimer>
#include <QIODevice>
#include <optional>
#include <string_view>

namespace brantel {

// Received bytes reach a Qt device's buffer through the event loop; this brings in what the
// kernel holds for `descriptor` now, without waiting, when fewer than `most` bytes are buffered.
void FetchPending(QIODevice& device, qintptr descriptor, int most);

// Writes `bytes` and waits until they have left or the deadline has passed; how many are still
// waiting, none when the write failed or the device closed meanwhile.
std::optional<qint64> WriteWithin(QIODevice& device, std::string_view bytes,
                                  const QDeadlineTimer& deadline);

// The deadline of a write of `bytes` bytes: 2n + 2 ms.
QDeadlineTimer WriteDeadline(std::size_t bytes);

}  // namespace brantel
