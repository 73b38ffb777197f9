// The replay options of the command line: --replay FILE (watch it in the window) and
// --verify-replay FILE (play it through without a window and say whether it agrees).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace vx {

struct ReplayOptions {
    std::optional<std::filesystem::path> watch;   // --replay FILE
    std::optional<std::filesystem::path> verify;  // --verify-replay FILE
    std::string error;                            // an option without its file
};

// Takes "--replay FILE", "--replay=FILE" and the same for --verify-replay; other
// arguments are left alone.
ReplayOptions ParseReplayOptions(int argc, const char* const* argv);

namespace verify_status {
constexpr int kAgrees = 0;
constexpr int kDiffers = 1;
constexpr int kUnusable = 2;
}  // namespace verify_status

// Plays file through at full speed and prints one line to out ("frames N score a:b
// result R hash H", then "agrees" or "differs"); a file that cannot be used gives one
// line on err. Returns the exit status.
int VerifyReplayCommand(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

}  // namespace vx
