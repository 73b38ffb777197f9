#include "frontend/replay_commands.h"

#include <ostream>

#include "match/replay_check.h"
#include "match/replay_file.h"

namespace vx {

int VerifyReplayCommand(const std::filesystem::path& file, std::ostream& out, std::ostream& err) {
    Replay replay;
    std::string error;
    if (!ReadReplayFile(file, replay, error)) {
        err << "voltrax: " << file.string() << ": " << error << "\n";
        return verify_status::kUnusable;
    }
    const ReplayOutcome outcome = CheckReplay(replay);
    out << DescribeOutcome(outcome) << (outcome.agrees ? " agrees" : " differs") << "\n";
    return outcome.agrees ? verify_status::kAgrees : verify_status::kDiffers;
}

}  // namespace vx
