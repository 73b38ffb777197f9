// Uniform random source in [0, 1) in single precision: every draw of the game.
// Randomize() stirs the time of day into the running state instead of restarting the
// sequence from a seed: the game reseeds before every serve direction and bumper
// rebound, and a restart would hand out the same number for every call in one tick.
#pragma once

#include <cstdint>
#include <functional>

namespace vx {

class Random {
  public:
    virtual ~Random() = default;
    virtual float Next() = 0;      // next value in [0, 1)
    virtual void Randomize() = 0;  // "reseed from the time of day"
};

class MixingRandom : public Random {
  public:
    // timeOfDay supplies microseconds of the wall clock; tests pass a fixed function.
    explicit MixingRandom(uint64_t seed, std::function<uint64_t()> timeOfDay = nullptr);

    float Next() override;
    void Randomize() override;
    void Seed(uint64_t seed);
    uint64_t Draws() const { return draws_; }

  private:
    uint64_t NextBits();

    uint64_t state_[4]{};
    uint64_t draws_ = 0;
    std::function<uint64_t()> timeOfDay_;
};

// Microseconds since the Unix epoch, for the real program's MixingRandom.
uint64_t WallClockMicros();

}  // namespace vx
