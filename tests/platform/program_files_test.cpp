#include "platform/program_files.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/test_game.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFilesLookup, BackslashPathsMatchExistingNamesWithoutRegardToCase) {
    testing::TempFolder folder;
    fs::create_directories(folder.Path() / "Dat");
    std::ofstream(folder.Path() / "Dat" / "wave1.wav") << "x";
    std::ofstream(folder.Path() / "read me.txt") << "x";
    ProgramFiles files(folder.Path());

    EXPECT_EQ(files.Resolve("\\dat\\Wave1.wav"), folder.Path() / "Dat" / "wave1.wav");
    EXPECT_EQ(files.Resolve("\\DAT\\WAVE1.WAV"), folder.Path() / "Dat" / "wave1.wav");
    EXPECT_EQ(files.Resolve("\\Read Me.TXT"), folder.Path() / "read me.txt");
}

TEST(ProgramFilesLookup, NewFilesKeepTheSpellingGivenInsideTheRealFolder) {
    testing::TempFolder folder;
    fs::create_directories(folder.Path() / "DAT");
    ProgramFiles files(folder.Path());
    EXPECT_EQ(files.Resolve("\\dat\\Sysdata.rnd"), folder.Path() / "DAT" / "Sysdata.rnd");
    std::ofstream(files.Resolve("\\dat\\Sysdata.rnd")) << "x";
    EXPECT_EQ(files.Resolve("\\dat\\sysdata.rnd"), folder.Path() / "DAT" / "Sysdata.rnd");
    EXPECT_EQ(files.Resolve("\\nothing\\here.txt"), folder.Path() / "nothing" / "here.txt");
}

TEST(ProgramFilesLookup, NamesCannotClimbOutOfTheProgramFolder) {
    testing::TempFolder folder;
    ProgramFiles files(folder.Path());
    EXPECT_EQ(files.Resolve("\\..\\..\\etc\\passwd"), folder.Path() / "etc" / "passwd");
}

TEST(ProgramFilesLookup, CaseFoldingIsAsciiOnly) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Sysdata.RND", "sysdata.rnd"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("wave1.wav", "wave1.wa"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));  // é vs É stay distinct
}

}  // namespace
}  // namespace vx
