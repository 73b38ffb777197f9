#include "platform/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

std::filesystem::path SingleInstanceLock::DefaultPath() {
    const char* runDir = std::getenv("XDG_RUNTIME_DIR");
    if (runDir != nullptr && runDir[0] == '/' && std::filesystem::is_directory(runDir))
        return std::filesystem::path(runDir) / "voltrax.lock";
    // Not /tmp: another user could make the file there first. The cache folder is ours.
    std::filesystem::path cache;
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (cacheHome != nullptr && cacheHome[0] == '/')
        cache = cacheHome;
    else if (home != nullptr && home[0] == '/')
        cache = std::filesystem::path(home) / ".cache";
    else
        return {};
    std::error_code ignored;
    std::filesystem::create_directories(cache / "voltrax", ignored);
    return cache / "voltrax" / "voltrax.lock";
}

SingleInstanceLock::SingleInstanceLock(std::filesystem::path path) : path_(std::move(path)) {}

SingleInstanceLock::~SingleInstanceLock() {
    Release();
}

bool SingleInstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    if (path_.empty()) return true;
    // O_NOFOLLOW and O_NONBLOCK: a planted link is not followed, a planted pipe does not
    // hang the start.
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return true;
    // Checked on what was opened, not on the name: a plain file, ours, with one link.
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() || st.st_nlink != 1) {
        close(fd);
        return true;
    }
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
