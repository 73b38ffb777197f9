// What the game reads from a gamepad, in plain C++: the buttons of each pad that is
// plugged in, in the order the pads arrived, and the source that reports them (the SDL
// back-end in platform/pads, or a test's stand-in).
#pragma once

#include <cstdint>
#include <vector>

namespace vx {

// One pad's controls that the game uses. up/down already merge the d-pad and the left
// stick beyond its dead zone.
struct PadButtons {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
    bool a = false;
    bool b = false;
    bool start = false;
    bool back = false;
    bool operator==(const PadButtons&) const = default;
};

struct PadReading {
    uint32_t id = 0;  // stays the same while the pad stays plugged in; never reused
    PadButtons buttons;
};

// Every pad plugged in now, oldest first.
using PadReadings = std::vector<PadReading>;

class PadSource {
  public:
    virtual ~PadSource() = default;
    // Looks for pads plugged in or out since the last call and reads every pad. Never
    // blocks.
    virtual PadReadings Poll() = 0;
};

}  // namespace vx
