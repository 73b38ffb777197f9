// One line on standard error the first time each kind of sound failure happens, so a
// silent game says once why it is silent and then keeps quiet.
#pragma once

#include <iostream>
#include <mutex>
#include <set>
#include <string>

namespace vx::audio {

class OnceReporter {
  public:
    explicit OnceReporter(std::ostream& out = std::cerr) : out_(&out) {}

    // `key` names the failure (a file, "device"); the message is written only the
    // first time that key is seen.
    void Report(const std::string& key, const std::string& message) {
        std::lock_guard lock(mutex_);
        if (!seen_.insert(key).second) return;
        *out_ << "voltrax: " << message << std::endl;
    }

  private:
    std::mutex mutex_;
    std::ostream* out_;
    std::set<std::string> seen_;
};

}  // namespace vx::audio
