#include "platform/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vx {

std::filesystem::path SingleInstanceLock::DefaultPath() {
    const char* runDir = std::getenv("XDG_RUNTIME_DIR");
    if (runDir != nullptr && runDir[0] == '/' && std::filesystem::is_directory(runDir))
        return std::filesystem::path(runDir) / "voltrax.lock";
    // /tmp is shared by every user: the uid keeps one user's copy from blocking another's.
    return std::filesystem::path("/tmp") / ("voltrax-" + std::to_string(getuid()) + ".lock");
}

SingleInstanceLock::SingleInstanceLock(std::filesystem::path path) : path_(std::move(path)) {}

SingleInstanceLock::~SingleInstanceLock() {
    Release();
}

bool SingleInstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    // O_NOFOLLOW: in /tmp a planted symlink must not make us create or lock someone's file.
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        close(fd);
        return !heldElsewhere;
    }
    fd_ = fd;
    return true;
}

void SingleInstanceLock::Release() {
    if (fd_ < 0) return;
    // The file stays: unlinking it would let a copy that had just opened the old file
    // lock it while a later copy creates and locks a new one, and both would run.
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
}

}  // namespace vx
