// Stored colours are 32-bit RGB values with red in the low byte (0x00BBGGRR).
#pragma once

#include <QColor>
#include <cstdint>

namespace platform {

inline QColor colourFromRgb(uint32_t value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline uint32_t rgbFromColour(const QColor& colour) {
    return uint32_t(colour.red()) | (uint32_t(colour.green()) << 8) | (uint32_t(colour.blue()) << 16);
}

}  // namespace platform
