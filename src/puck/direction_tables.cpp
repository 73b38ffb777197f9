#include "puck/direction_tables.h"

#include <array>
#include <cmath>
#include <numbers>

#include "core/arith.h"

namespace vx {

namespace {

DirPair AtDegrees(double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {RoundHalfEven(100.0 * std::cos(radians)), RoundHalfEven(100.0 * std::sin(radians))};
}

// Built once; the puck step reads them many times a frame.
struct Tables {
    std::array<DirPair, 27> dir3{};
    std::array<DirPair, 30> dir2{};
    std::array<int32_t, 25> sqrt100{};
    Tables() {
        for (int k = 0; k < 27; ++k) dir3[k] = AtDegrees(6.0 + 3.0 * k);
        for (int i = 0; i < 30; ++i) dir2[i] = AtDegrees(2.0 * i);
        sqrt100[0] = 50;
        for (int n = 1; n < 25; ++n) sqrt100[n] = RoundHalfEven(100.0 * std::sqrt(static_cast<double>(n)));
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

DirPair Dir3(int32_t k) {
    if (k < 0 || k > 26) return {};
    return TheTables().dir3[static_cast<size_t>(k)];
}

DirPair Dir2(int32_t i) {
    if (i < 0 || i > 29) return {};
    return TheTables().dir2[static_cast<size_t>(i)];
}

int32_t Sqrt100(int32_t n) {
    if (n < 0 || n > 24) return 0;
    return TheTables().sqrt100[static_cast<size_t>(n)];
}

}  // namespace vx
