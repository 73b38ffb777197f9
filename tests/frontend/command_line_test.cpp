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
    struct Case {
        std::initializer_list<std::string_view> args;
        const char* error;
    } cases[] = {
        {{"--frob"}, "unknown option '--frob'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--"}, "unknown option '--'"},
        {{"--help", "stage3"}, "unexpected argument 'stage3'"},
        {{"--version=2"}, "option '--version' takes no value"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parse(c.args).error, c.error);
}

TEST(CommandLine, HelpListsEveryOptionAndTheUsageLineIsOneLine) {
    const std::string help = HelpText("voltrax");
    EXPECT_EQ(help.rfind("Usage: voltrax [OPTION]...\n", 0), 0u);
    for (const char* option : {"--help", "--version", "--replay", "--verify-replay"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    const std::string usage = UsageLine("voltrax", Parse({"--frob"}));
    EXPECT_EQ(usage, "voltrax: unknown option '--frob'; usage: voltrax [OPTION]... (see 'voltrax --help')");
}

}  // namespace
}  // namespace vx
