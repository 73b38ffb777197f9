// Stands in for the MCI sequencer device: takes the game's command strings ("open ...
// type sequencer alias midifile", "play midifile from 0", "status midifile length" ...)
// and fills the answer of the status commands.
#pragma once

#include <string>
#include <string_view>

namespace vx {

class Sequencer {
  public:
    virtual ~Sequencer() = default;
    // Returns the answer text (empty when the command has none or failed).
    virtual std::string SendCommand(std::string_view command) = 0;
};

// Stand-in for GetShortPathNameA. Linux has no short names; the sequencer reads the
// path between "open " and " type sequencer", so blanks and any UTF-8 are safe as is.
std::string ShortPathName(const std::string& longPath);

}  // namespace vx
