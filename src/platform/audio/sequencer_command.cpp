#include "platform/audio/sequencer_command.h"

#include <charconv>

namespace vx::audio {

namespace {

constexpr std::string_view kOpenPrefix = "open ";
constexpr std::string_view kOpenSuffix = " type sequencer alias midifile";
constexpr std::string_view kPlayPrefix = "play midifile from ";

// The stop command carries a trailing blank; surrounding blanks never change a command.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

SequencerCommand ParseSequencerCommand(std::string_view text) {
    SequencerCommand command;
    using Kind = SequencerCommand::Kind;
    // The path is taken whole between the fixed prefix and suffix, so blanks and any
    // UTF-8 inside it are kept: there are no short names to hide them behind.
    if (text.size() > kOpenPrefix.size() + kOpenSuffix.size() && text.starts_with(kOpenPrefix) &&
        text.ends_with(kOpenSuffix)) {
        command.kind = Kind::Open;
        command.path = text.substr(kOpenPrefix.size(), text.size() - kOpenPrefix.size() - kOpenSuffix.size());
        return command;
    }
    const std::string_view trimmed = Trimmed(text);
    if (trimmed == "stop midifile")
        command.kind = Kind::Stop;
    else if (trimmed == "close midifile")
        command.kind = Kind::Close;
    else if (trimmed == "status midifile position")
        command.kind = Kind::StatusPosition;
    else if (trimmed == "status midifile length")
        command.kind = Kind::StatusLength;
    else if (trimmed.starts_with(kPlayPrefix)) {
        const std::string_view number = trimmed.substr(kPlayPrefix.size());
        int32_t from = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), from);
        if (ec == std::errc() && end == number.data() + number.size() && from >= 0) {
            command.kind = Kind::Play;
            command.from = from;
        }
    }
    return command;
}

}  // namespace vx::audio
