// One copy of the program at a time: the first copy holds an flock on a lock file in
// $XDG_RUNTIME_DIR; a second copy fails to take it and ends silently. The
// kernel drops the lock with the process, so a killed copy never blocks the next start.
#pragma once

#include <filesystem>

namespace vx {

class SingleInstanceLock {
  public:
    // $XDG_RUNTIME_DIR/voltrax.lock, or /tmp/voltrax-<uid>.lock when that is not set.
    static std::filesystem::path DefaultPath();

    explicit SingleInstanceLock(std::filesystem::path path = DefaultPath());
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False only when another copy holds the lock. A lock file that cannot be opened at
    // all (unwritable folder, a file of another user) lets the program run: two copies
    // are a smaller harm than a game that never starts.
    bool Acquire();
    void Release();
    bool Held() const { return fd_ >= 0; }

  private:
    std::filesystem::path path_;
    int fd_ = -1;
};

}  // namespace vx
