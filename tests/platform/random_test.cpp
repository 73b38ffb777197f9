#include "platform/random.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(MixingRandomTest, ValuesStayInUnitIntervalAndSeedsRepeat) {
    MixingRandom a(42), b(42);
    for (int i = 0; i < 100000; ++i) {
        const float v = a.Next();
        ASSERT_GE(v, 0.0f);
        ASSERT_LT(v, 1.0f);
        ASSERT_EQ(v, b.Next());
    }
}

TEST(MixingRandomTest, ReseedingWithinOneClockTickNeverRepeatsDraws) {
    // The game reseeds before every serve direction; with the clock frozen, a reseed
    // that restarted the sequence would give the same sign every time.
    MixingRandom r(7, [] { return uint64_t{1700000000000000}; });
    int plus = 0;
    constexpr int kDraws = 20000;
    float previous = -1;
    int repeats = 0;
    for (int i = 0; i < kDraws; ++i) {
        r.Randomize();
        const float v = r.Next();
        repeats += v == previous;
        previous = v;
        plus += v < 0.4f;  // the serve rule: +1 with probability 4/10
    }
    EXPECT_LT(repeats, 5);
    // 4/10 of 20000 is 8000; five standard deviations is about 350.
    EXPECT_NEAR(plus, 8000, 350);
}

}  // namespace
}  // namespace vx
