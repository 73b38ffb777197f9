// One copy of the program at a time: the first copy holds an flock on a lock file in
// $XDG_RUNTIME_DIR (or, without one, in the user's own cache folder); a second copy fails
// to take it, says so and ends. The kernel drops the lock with the process, so a killed
// copy never blocks the next start. A lock file that is not a plain file of ours with
// one link is not trusted, and is ignored.
#pragma once

#include <filesystem>

namespace vx {

class SingleInstanceLock {
  public:
    // $XDG_RUNTIME_DIR/voltrax.lock, or voltrax/voltrax.lock in $XDG_CACHE_HOME (or
    // ~/.cache) when that is not set: never a folder other users can write in.
    static std::filesystem::path DefaultPath();

    explicit SingleInstanceLock(std::filesystem::path path = DefaultPath());
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False only when another copy holds the lock. A lock file that cannot be opened at
    // all (unwritable folder), or that is not ours (another user's, a link, a folder),
    // lets the program run: two copies are a smaller harm than a game that never starts,
    // and nobody else's file can stop it.
    bool Acquire();
    void Release();
    bool Held() const { return fd_ >= 0; }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
    int fd_ = -1;
};

}  // namespace vx
