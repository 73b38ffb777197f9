// Uniform random source in [0, 1) in single precision: every draw of the game.
// Randomize() stirs the time of day into the running state instead of restarting the
// sequence from a seed: the game reseeds before every serve direction and bumper
// rebound, and a restart would hand out the same number for every call in one tick.
// During a match the game stirs in a value of its own instead (Stir), so that a match
// can be played again from its seed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace vx {

// The whole state of a generator, for snapshots of a match.
struct RandomState {
    std::array<uint64_t, 4> bits{};
    uint64_t draws = 0;
    bool operator==(const RandomState&) const = default;
};

class Random {
  public:
    virtual ~Random() = default;
    virtual float Next() = 0;      // next value in [0, 1)
    virtual void Randomize() = 0;  // "reseed from the time of day"
    // Mixes value into the running state (what Randomize does with the time).
    virtual void Stir(uint64_t value) { (void)value, Randomize(); }
    // 64 fresh bits, for a match seed.
    virtual uint64_t NextBits64() {
        const auto part = [this] { return static_cast<uint64_t>(Next() * 16777216.0f); };
        return (part() << 40) ^ (part() << 20) ^ part();
    }
    // Restarts the sequence from seed (and the count of draws).
    virtual void Seed(uint64_t seed) { (void)seed; }
    virtual RandomState State() const { return {}; }
    virtual void SetState(const RandomState& state) { (void)state; }
};

class MixingRandom : public Random {
  public:
    // timeOfDay supplies microseconds of the wall clock; tests pass a fixed function.
    explicit MixingRandom(uint64_t seed, std::function<uint64_t()> timeOfDay = nullptr);

    float Next() override;
    void Randomize() override;
    void Stir(uint64_t value) override;
    uint64_t NextBits64() override;
    void Seed(uint64_t seed) override;
    RandomState State() const override;
    void SetState(const RandomState& state) override;
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
