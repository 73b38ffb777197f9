// The command line: options by long and short name, values, and what is refused.
#include "frontend/command_line.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

CommandLine Parse(std::initializer_list<std::string_view> args) {
    return ParseCommandLine(std::vector<std::string_view>(args));
}

TEST(CommandLine, HelpAndVersionAreUnderstoodByLongAndShortName) {
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
    EXPECT_TRUE(Parse({"--version"}).version);
    EXPECT_TRUE(Parse({"-V"}).version);
    const CommandLine none = Parse({});
    EXPECT_FALSE(none.help || none.version);
    EXPECT_EQ(none.error, "");
}

TEST(CommandLine, AnythingNotInTheTableIsRefusedWithItsName) {
    const char* kOneWay =
        "only one of --host, --join, --make-room, --join-room, --quick-match, --watch and --watch-room at a "
        "time";
    struct Case {
        std::initializer_list<std::string_view> args;
        const char* error;
    } cases[] = {
        {{"--frob"}, "unknown option '--frob'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--"}, "unknown option '--'"},
        {{"--help", "stage3"}, "unexpected argument 'stage3'"},
        {{"--version=2"}, "option '--version' takes no value"},
        {{"--join-room"}, "option '--join-room' needs CODE"},
        {{"--make-room"}, "option '--make-room' needs --lobby HOST[:PORT]"},
        {{"--quick-match", "--lobby="}, "option '--quick-match' needs --lobby HOST[:PORT]"},
        {{"--lobby", "l", "--make-room", "--join-room", "7KQ4MX"}, kOneWay},
        {{"--host", "--join", "h"}, kOneWay},
        {{"--lobby", "l", "--make-room", "--watch-room", "7KQ4MX"}, kOneWay},
        {{"--watch", "h", "--host"}, kOneWay},
        {{"--watch-room", "7KQ4MX"}, "option '--watch-room' needs --lobby HOST[:PORT]"},
        {{"--headless", "--join", "h"},
         "option '--headless' needs --watch ADDRESS[:PORT] or --watch-room CODE"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parse(c.args).error, c.error);
}

TEST(CommandLine, NetworkOptionsTakeTheirValuesInEitherSpelling) {
    const CommandLine room = Parse({"--lobby=lobby.example:5300", "--join-room", "7kq4mx", "--verbose"});
    EXPECT_EQ(room.error, "");
    EXPECT_EQ(room.lobby, "lobby.example:5300");
    EXPECT_EQ(room.joinRoom, "7kq4mx");
    EXPECT_TRUE(room.verbose);
    EXPECT_TRUE(Parse({"--lobby", "l", "--make-room"}).makeRoom);
    EXPECT_TRUE(Parse({"--quick-match", "--lobby", "l"}).quickMatch);
    // --host's port is optional: a next argument that is an option is not taken for it.
    const CommandLine host = Parse({"--host", "--verbose"});
    EXPECT_TRUE(host.host && host.verbose);
    EXPECT_EQ(host.hostPort, "");
    EXPECT_EQ(Parse({"--host", "0"}).hostPort, "0");
}

TEST(CommandLine, HelpListsEveryOptionAndTheUsageLineIsOneLine) {
    const std::string help = HelpText("voltrax");
    EXPECT_EQ(help.rfind("Usage: voltrax [OPTION]...\n", 0), 0u);
    for (const char* option : {"--help", "--version", "--replay", "--verify-replay", "--lobby HOST[:PORT]",
                               "--make-room", "--join-room CODE", "--quick-match"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    const std::string usage = UsageLine("voltrax", Parse({"--frob"}));
    EXPECT_EQ(usage, "voltrax: unknown option '--frob'; usage: voltrax [OPTION]... (see 'voltrax --help')");
}

}  // namespace
}  // namespace vx
