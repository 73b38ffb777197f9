// --verify-replay FILE: play a replay through without a window and say whether it agrees
// (the command line itself is read by frontend/command_line.h).
#pragma once

#include <filesystem>
#include <iosfwd>

namespace vx {

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
