// The game's integer conversions, each written once: pixel values are the floor of
// hundredths, and fractional values become integers by rounding halves to even.
#pragma once

#include <cmath>
#include <cstdint>

namespace vx {

// Floor division (towards minus infinity), unlike C++'s truncating '/'.
constexpr int32_t FloorDiv(int32_t a, int32_t b) {
    const int32_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Pixel value of a position held in hundredths of a pixel.
constexpr int32_t FloorDiv100(int32_t hundredths) {
    return FloorDiv(hundredths, 100);
}

// Nearest whole number, halves to even: 2.5 gives 2 and 3.5 gives 4, so halves split evenly.
inline int32_t RoundHalfEven(double v) {
    return static_cast<int32_t>(std::nearbyint(v));
}

// The floor of a double as a 32-bit integer: toward minus infinity, so -0.5 gives -1.
inline int32_t FloorToInt(double v) {
    return static_cast<int32_t>(std::floor(v));
}

// Nearest whole number, halves to even, of a value computed in single precision: the
// product is rounded to float before the halves rule sees it.
inline int32_t RoundHalfEvenSingle(float v) {
    return static_cast<int32_t>(std::nearbyintf(v));
}

// A byte counter that stops at 255 instead of wrapping to 0.
constexpr uint8_t SaturatingIncrement(uint8_t v) {
    return v == 255 ? v : static_cast<uint8_t>(v + 1);
}

}  // namespace vx
