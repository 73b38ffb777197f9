#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include <sys/stat.h>

#include <sys/wait.h>
#include <unistd.h>

#include "support/test_game.h"

namespace vx {
namespace {

// Tries the lock in a child process; the child's exit status says whether it got it.
bool OtherProcessGetsLock(const std::filesystem::path& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        SingleInstanceLock lock(path);
        _exit(lock.Acquire() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SingleInstanceTest, SecondCopyIsRefusedWhileTheFirstRuns) {
    testing::TempFolder folder;
    const auto path = folder.Path() / "voltrax.lock";
    SingleInstanceLock first(path);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire()) << "taking it again in the same copy is harmless";

    SingleInstanceLock second(path);
    EXPECT_FALSE(second.Acquire()) << "same process, separate open";
    EXPECT_FALSE(second.Held());
    EXPECT_FALSE(OtherProcessGetsLock(path));

    first.Release();
    EXPECT_TRUE(OtherProcessGetsLock(path));
    EXPECT_TRUE(second.Acquire());
}

TEST(SingleInstanceTest, LockOfAKilledCopyDoesNotBlockTheNextStart) {
    testing::TempFolder folder;
    const auto path = folder.Path() / "voltrax.lock";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        SingleInstanceLock lock(path);
        const char ok = lock.Acquire() ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char got = 0;
    ASSERT_EQ(read(ready[0], &got, 1), 1);
    ASSERT_EQ(got, 'y');
    SingleInstanceLock next(path);
    EXPECT_FALSE(next.Acquire());
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_TRUE(std::filesystem::exists(path)) << "the stale file is left behind";
    EXPECT_TRUE(next.Acquire());
    close(ready[0]);
    close(ready[1]);
}

TEST(SingleInstanceTest, ALockFileThatIsNotOursIsIgnoredAndTheGameRuns) {
    // Each is planted at the lock's name before the game starts: no lock is taken from
    // it, and it stops nobody.
    for (const std::string planted :
         {"no folder", "link", "second name", "folder", "pipe", "another user's"}) {
        SCOPED_TRACE(planted);
        testing::TempFolder folder;
        const auto theirs = folder.Path() / "theirs";
        const auto lock = folder.Path() / (planted == "no folder" ? "missing/voltrax.lock" : "voltrax.lock");
        std::ofstream(theirs) << "x";
        if (planted == "link") std::filesystem::create_symlink(theirs, lock);
        if (planted == "second name") std::filesystem::create_hard_link(theirs, lock);
        if (planted == "folder") std::filesystem::create_directory(lock);
        if (planted == "pipe") {
            ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0);
        }
        if (planted == "another user's" &&
            (std::filesystem::copy_file(theirs, lock), chown(lock.c_str(), 65534, 65534) != 0))
            continue;  // giving a file away needs root
        SingleInstanceLock first(lock);
        EXPECT_TRUE(first.Acquire());
        EXPECT_FALSE(first.Held());
        EXPECT_TRUE(OtherProcessGetsLock(lock));
    }
}

TEST(SingleInstanceTest, DefaultPathLiesInTheUsersOwnFolders) {
    testing::TempFolder folder;
    const auto saved = [](const char* name) {
        const char* v = std::getenv(name);
        return std::optional<std::string>(v ? std::optional<std::string>(v) : std::nullopt);
    };
    const auto run = saved("XDG_RUNTIME_DIR"), cache = saved("XDG_CACHE_HOME"), home = saved("HOME");
    setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    EXPECT_EQ(SingleInstanceLock::DefaultPath(), folder.Path() / "voltrax.lock");
    unsetenv("XDG_RUNTIME_DIR");
    setenv("XDG_CACHE_HOME", (folder.Path() / "cache").c_str(), 1);
    EXPECT_EQ(SingleInstanceLock::DefaultPath(), folder.Path() / "cache" / "voltrax" / "voltrax.lock");
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "cache" / "voltrax"));
    unsetenv("XDG_CACHE_HOME");
    setenv("HOME", folder.Path().c_str(), 1);
    EXPECT_EQ(SingleInstanceLock::DefaultPath(), folder.Path() / ".cache" / "voltrax" / "voltrax.lock");
    for (const auto& [name, value] :
         {std::pair{"XDG_RUNTIME_DIR", run}, {"XDG_CACHE_HOME", cache}, {"HOME", home}})
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}

}  // namespace
}  // namespace vx
