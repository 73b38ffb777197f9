// The puck's three direction tables: 100 times the cosine and sine of fixed angles
// (serve and bumper directions, paddle rebound angles) and 100 times a square root
// (the rebound speed from a squared speed).
#pragma once

#include <cstdint>

namespace vx {

// 100·cos and 100·sin of one angle, each to the nearest whole number.
struct DirPair {
    int32_t c = 0;
    int32_t s = 0;
    bool operator==(const DirPair&) const = default;
};

// Angle 6° + 3°·k for k = 0 … 26; (0, 0) outside.
DirPair Dir3(int32_t k);
// Angle 2°·i for i = 0 … 29; (0, 0) outside.
DirPair Dir2(int32_t i);
// 100·√n for n = 0 … 24, except that 0 gives 50 (so a standing puck still has a speed
// to kick); 0 outside.
int32_t Sqrt100(int32_t n);

}  // namespace vx
