#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST(SingleInstanceTest, UnopenableLockFileLetsTheGameRun) {
    SingleInstanceLock lock("/nonexistent-folder/voltrax.lock");
    EXPECT_TRUE(lock.Acquire());
}

TEST(SingleInstanceTest, DefaultPathLiesInTheUsersXdgRunFolder) {
    testing::TempFolder folder;
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    EXPECT_EQ(SingleInstanceLock::DefaultPath(), folder.Path() / "voltrax.lock");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstanceLock::DefaultPath().parent_path(), "/tmp");
    if (old) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

}  // namespace
}  // namespace vx
