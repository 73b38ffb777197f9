// The command strings the game sends to its sequencer device, read into one record.
// Only the alias "midifile" and the commands the game uses are understood; anything
// else is Unknown and answered with nothing, as a device would refuse it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx::audio {

struct SequencerCommand {
    enum class Kind { Unknown, Open, Play, Stop, Close, StatusPosition, StatusLength };
    Kind kind = Kind::Unknown;
    std::string path;  // Open: everything between "open " and " type sequencer alias midifile"
    int32_t from = 0;  // Play: the start position in ticks
};

SequencerCommand ParseSequencerCommand(std::string_view text);

}  // namespace vx::audio
