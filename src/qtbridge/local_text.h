#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace brantel {

// Byte strings cross into and out of the controls in the system's 8-bit encoding.
inline QString FromBytes(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Bytes a device sent, shown one character a byte in the 8-bit code page (Latin-1), so that
// no byte above 0x7F is lost to U+FFFD as a UTF-8 reading would lose it.
inline QString FromDeviceBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string ToBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

}  // namespace brantel
