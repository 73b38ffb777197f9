// PadSystem: the gamepads through SDL2's game controller support. Pads plugged in at
// start and at any time later are opened, unplugged ones closed; each Poll reads the
// buttons the game uses. Without SDL's game controller subsystem there are simply no
// pads (one line goes to standard error); nothing blocks or throws.
#pragma once

#include <memory>

#include "platform/pad_state.h"

namespace vx::pads {

// How far the left stick must lean (of 32767) before it counts as up or down: resting
// sticks drift by a few thousand.
constexpr int kStickDeadZone = 12000;

class PadSystem final : public PadSource {
  public:
    PadSystem();
    ~PadSystem() override;
    PadSystem(const PadSystem&) = delete;
    PadSystem& operator=(const PadSystem&) = delete;

    PadReadings Poll() override;
    bool Started() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vx::pads
