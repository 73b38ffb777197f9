// Sequencer: the music player as the game drives it, by command strings ("open ...
// type sequencer alias midifile", "play midifile from 0", "status midifile length" ...);
// the status commands answer in text.
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

// The path as the open command carries it: unchanged, since the sequencer reads
// everything between "open " and " type sequencer", blanks and any UTF-8 included.
std::string ShortPathName(const std::string& longPath);

}  // namespace vx
