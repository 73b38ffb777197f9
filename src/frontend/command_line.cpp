#include "frontend/command_line.h"

#include <algorithm>

namespace vx {

namespace {

bool TakesValue(const CommandLineOption& option) {
    return option.argument != nullptr;
}

bool ValueIsOptional(const CommandLineOption& option) {
    return option.argument != nullptr && option.argument[0] == '[';
}

const CommandLineOption* FindLong(std::string_view name) {
    for (const CommandLineOption& option : CommandLineOptions())
        if (name == option.name) return &option;
    return nullptr;
}

const CommandLineOption* FindShort(char name) {
    for (const CommandLineOption& option : CommandLineOptions())
        if (option.shortName != 0 && option.shortName == name) return &option;
    return nullptr;
}

void Apply(const CommandLineOption& option, CommandLine& out, std::string_view value) {
    if (option.flag != nullptr) out.*option.flag = true;
    if (option.value != nullptr) out.*option.value = std::string(value);
}

// What the options ask for together: one way to the other player at most, and a room
// only through a lobby. Empty when that holds, else the reason.
std::string CheckCombination(const CommandLine& c) {
    const bool online = c.makeRoom || !c.joinRoom.empty() || c.quickMatch || !c.watchRoom.empty();
    const int ways = int{c.host} + int{!c.join.empty()} + int{c.makeRoom} + int{!c.joinRoom.empty()} +
                     int{c.quickMatch} + int{!c.watch.empty()} + int{!c.watchRoom.empty()};
    if (ways > 1)
        return "only one of --host, --join, --make-room, --join-room, --quick-match, --watch and "
               "--watch-room at a time";
    if (c.headless && c.watch.empty() && c.watchRoom.empty())
        return "option '--headless' needs --watch ADDRESS[:PORT] or --watch-room CODE";
    if (online && c.lobby.empty()) {
        const char* name = c.makeRoom           ? "--make-room"
                           : c.quickMatch       ? "--quick-match"
                           : c.joinRoom.empty() ? "--watch-room"
                                                : "--join-room";
        return std::string("option '") + name + "' needs --lobby HOST[:PORT]";
    }
    return {};
}

}  // namespace

const std::vector<CommandLineOption>& CommandLineOptions() {
    static const std::vector<CommandLineOption> options = {
        {"help", 'h', nullptr, "show this help and exit", &CommandLine::help, nullptr},
        {"version", 'V', nullptr, "show the version and exit", &CommandLine::version, nullptr},
        {"replay", 0, "FILE", "watch a replay in the window, then show the title", nullptr,
         &CommandLine::replay},
        {"start-at", 0, "SECONDS", "with --replay: begin the replay SECONDS of match time in", nullptr,
         &CommandLine::startAt},
        {"verify-replay", 0, "FILE",
         "play a replay through without a window and print one line; exit 0 when it agrees, 1 when not, 2 "
         "when "
         "the file cannot be used",
         nullptr, &CommandLine::verifyReplay},
        {"host", 0, "[PORT]",
         "open a network match on UDP PORT (47150 when not given; 0 for any free one) and wait for the "
         "other player",
         &CommandLine::host, &CommandLine::hostPort},
        {"join", 0, "ADDRESS[:PORT]", "join the network match opened at ADDRESS (port 47150 when not given)",
         nullptr, &CommandLine::join},
        {"watch", 0, "ADDRESS[:PORT]",
         "watch the network matches hosted at ADDRESS (port 47150 when not given) in the window, until the "
         "host ends; with --verbose, one line at the end of each",
         nullptr, &CommandLine::watch},
        {"headless", 0, nullptr,
         "with --watch or --watch-room: follow the matches without a window or sound (exit 0 when the host "
         "ended after a "
         "match was followed, 1 otherwise)",
         &CommandLine::headless, nullptr},
        {"lobby", 0, "HOST[:PORT]", "the lobby that online play meets in (port 5222 when not given)", nullptr,
         &CommandLine::lobby},
        {"make-room", 0, nullptr,
         "make a room in the lobby, print its code (\"room CODE\") and wait for the other player to join it",
         &CommandLine::makeRoom, nullptr},
        {"join-room", 0, "CODE", "join the other player's room in the lobby by its 6-character code", nullptr,
         &CommandLine::joinRoom},
        {"quick-match", 0, nullptr, "play the next player who asks the lobby for a quick match",
         &CommandLine::quickMatch, nullptr},
        {"watch-room", 0, "CODE",
         "watch the online match of the room with this code in the lobby in the window, without being one "
         "of its players; with --verbose, the path and one line at the end of each match",
         nullptr, &CommandLine::watchRoom},
        {"verbose", 0, nullptr,
         "print one line on standard output at the end of each network match (frames, scores, result, state "
         "hash, rollback, round trip, bytes, the path: lan, direct, punched, mapped or relay)",
         &CommandLine::verbose, nullptr},
    };
    return options;
}

CommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
    CommandLine out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const CommandLineOption* option = nullptr;
        std::string_view inlineValue;
        bool hasInlineValue = false;
        if (arg.size() > 2 && arg.substr(0, 2) == "--") {
            std::string_view name = arg.substr(2);
            if (const size_t equals = name.find('='); equals != std::string_view::npos) {
                inlineValue = name.substr(equals + 1);
                hasInlineValue = true;
                name = name.substr(0, equals);
            }
            option = FindLong(name);
        } else if (arg.size() == 2 && arg[0] == '-' && arg[1] != '-') {
            option = FindShort(arg[1]);
        }
        if (option == nullptr) {
            out.error =
                std::string(arg.empty() || arg[0] != '-' ? "unexpected argument '" : "unknown option '") +
                std::string(arg) + "'";
            return out;
        }
        if (hasInlineValue && !TakesValue(*option)) {
            out.error = "option '--" + std::string(option->name) + "' takes no value";
            return out;
        }
        if (hasInlineValue || !TakesValue(*option)) {
            Apply(*option, out, inlineValue);
            continue;
        }
        const bool hasNext = i + 1 < args.size();
        if (!ValueIsOptional(*option)) {
            if (!hasNext) {
                out.error = "option '--" + std::string(option->name) + "' needs " + option->argument;
                return out;
            }
            Apply(*option, out, args[++i]);
        } else if (hasNext && !args[i + 1].empty() && args[i + 1][0] != '-') {
            Apply(*option, out, args[++i]);
        } else {
            Apply(*option, out, {});
        }
    }
    out.error = CheckCombination(out);
    return out;
}

std::string HelpText(std::string_view program) {
    std::vector<std::string> left;
    size_t width = 0;
    for (const CommandLineOption& option : CommandLineOptions()) {
        std::string text = option.shortName != 0 ? std::string("-") + option.shortName + ", " : "    ";
        text += "--" + std::string(option.name);
        if (option.argument != nullptr) text += std::string(" ") + option.argument;
        width = std::max(width, text.size());
        left.push_back(std::move(text));
    }
    std::string out = "Usage: " + std::string(program) + " [OPTION]...\n";
    out += "Two-player table game: guard your goal with two paddles.\n\n";
    for (size_t i = 0; i < left.size(); ++i) {
        out += "  " + left[i] + std::string(width - left[i].size() + 2, ' ');
        out += CommandLineOptions()[i].help;
        out += '\n';
    }
    out += "\nOptions are kept in $XDG_CONFIG_HOME/voltrax/ when the program folder is not writable.\n";
    out += "See voltrax(6) for keys, files and environment variables.\n";
    return out;
}

std::string UsageLine(std::string_view program, const CommandLine& parsed) {
    return std::string(program) + ": " + parsed.error + "; usage: " + std::string(program) +
           " [OPTION]... (see '" + std::string(program) + " --help')";
}

}  // namespace vx
