// A random source for tests that hands out queued values in order (then a fixed
// fallback) and counts draws and reseeds, so a test can both steer and audit the game's
// use of the generator.
#pragma once

#include <deque>
#include <initializer_list>

#include "platform/random.h"

namespace vx::testing {

class ScriptedRandom : public Random {
  public:
    explicit ScriptedRandom(float fallback = 0.5f) : fallback_(fallback) {}

    void Queue(std::initializer_list<float> values) { queued_.insert(queued_.end(), values); }
    void SetFallback(float value) { fallback_ = value; }

    float Next() override {
        ++draws_;
        if (queued_.empty()) return fallback_;
        const float v = queued_.front();
        queued_.pop_front();
        return v;
    }
    void Randomize() override { ++reseeds_; }

    int Draws() const { return draws_; }
    int Reseeds() const { return reseeds_; }
    size_t Left() const { return queued_.size(); }

  private:
    std::deque<float> queued_;
    float fallback_;
    int draws_ = 0;
    int reseeds_ = 0;
};

}  // namespace vx::testing
