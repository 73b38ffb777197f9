// The program's command line: one table of options (name, argument, help text, the field
// it sets) drives parsing, --help and the usage line. Plain C++, so it runs before the
// window system starts and `voltrax --help` works without a display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

// What the command line asked for. A new option is one field here and one row in the
// table in command_line.cpp.
struct CommandLine {
    bool help = false;
    bool version = false;
    std::string replay;        // --replay FILE
    std::string startAt;       // --start-at SECONDS (with --replay)
    std::string verifyReplay;  // --verify-replay FILE
    bool host = false;         // --host [PORT]
    std::string hostPort;      //   its port, empty for the default
    std::string join;          // --join ADDRESS[:PORT]
    std::string watch;         // --watch ADDRESS[:PORT]
    bool headless = false;     // --headless (with --watch)
    bool verbose = false;      // --verbose
    std::string lobby;         // --lobby HOST[:PORT]
    bool makeRoom = false;     // --make-room
    std::string joinRoom;      // --join-room CODE
    bool quickMatch = false;   // --quick-match
    std::string watchRoom;     // --watch-room CODE

    // results (out)
    std::string error;  // empty when every argument was understood
};

// One row of the options table. `argument` names the option's value: nullptr for none,
// "FILE" for a value the option needs, "[PORT]" (in brackets) for one it may take.
// A value given sets `value` (if any); the option's presence sets `flag` (if any).
struct CommandLineOption {
    const char* name;  // without the leading "--"
    char shortName;    // 0 for none
    const char* argument;
    const char* help;
    bool CommandLine::*flag;
    std::string CommandLine::*value;
};

// Every option the program knows, in the order --help lists them.
const std::vector<CommandLineOption>& CommandLineOptions();

// Reads the arguments after the program name. Values are taken as "--name VALUE" or
// "--name=VALUE"; an optional value only as "--name=VALUE" or a next argument that does
// not begin with '-'. The first argument that is not understood stops parsing with a
// reason in `error`, as does a room asked for without --lobby, --headless without
// --watch or two ways to the other player at once.
CommandLine ParseCommandLine(const std::vector<std::string_view>& args);

// "Usage: voltrax [OPTION]..." and a line per option, for --help.
std::string HelpText(std::string_view program);

// The one line an unknown option gets on standard error before the program exits with 2.
std::string UsageLine(std::string_view program, const CommandLine& parsed);

}  // namespace vx
