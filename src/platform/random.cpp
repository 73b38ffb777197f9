#include "platform/random.h"

#include <chrono>

namespace vx {

namespace {

uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

}  // namespace

MixingRandom::MixingRandom(uint64_t seed, std::function<uint64_t()> timeOfDay)
    : timeOfDay_(std::move(timeOfDay)) {
    Seed(seed);
}

void MixingRandom::Seed(uint64_t seed) {
    draws_ = 0;
    uint64_t x = seed;
    for (auto& s : state_) s = SplitMix(x);
}

uint64_t MixingRandom::NextBits() {
    // xoshiro256**
    const uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return result;
}

float MixingRandom::Next() {
    ++draws_;
    // 24 bits fill a float's mantissa exactly, so the result is always below 1.
    return static_cast<float>(NextBits() >> 40) * (1.0f / 16777216.0f);
}

void MixingRandom::Randomize() {
    Stir(timeOfDay_ ? timeOfDay_() : 0);
}

void MixingRandom::Stir(uint64_t value) {
    state_[0] ^= SplitMix(value);
    NextBits();
}

uint64_t MixingRandom::NextBits64() {
    ++draws_;
    return NextBits();
}

RandomState MixingRandom::State() const {
    return RandomState{{state_[0], state_[1], state_[2], state_[3]}, draws_};
}

void MixingRandom::SetState(const RandomState& state) {
    for (size_t i = 0; i < 4; ++i) state_[i] = state.bits[i];
    draws_ = state.draws;
}

uint64_t WallClockMicros() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace vx
