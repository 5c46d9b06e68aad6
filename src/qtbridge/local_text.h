#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace brantel {

// Byte strings cross into and out of the controls in the system's 8-bit encoding.
inline QString FromBytes(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string ToBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

}  // namespace brantel
