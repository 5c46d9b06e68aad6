#pragma once

#include <cstdint>

namespace brantel {

// Colours as 24-bit values $00BBGGRR, the form the log and the controls are designed in.
using Colour = std::uint32_t;

inline constexpr Colour kPortStatusGreen = 0x008000;
inline constexpr Colour kSentRed = 0x0000FF;
inline constexpr Colour kReceivedBlue = 0xFF0000;
inline constexpr Colour kAnnotationTeal = 0x808000;
inline constexpr Colour kNavy = 0x800000;

}  // namespace brantel
