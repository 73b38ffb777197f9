#include "frontend/replay_commands.h"

#include <ostream>
#include <string_view>

#include "match/replay_check.h"
#include "match/replay_file.h"

namespace vx {

ReplayOptions ParseReplayOptions(int argc, const char* const* argv) {
    ReplayOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        for (auto [name, slot] : {std::pair{std::string_view("--replay"), &options.watch},
                                  std::pair{std::string_view("--verify-replay"), &options.verify}}) {
            if (arg == name) {
                if (i + 1 >= argc) {
                    options.error = std::string(name) + " needs a replay file";
                    return options;
                }
                *slot = argv[++i];
            } else if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                       arg[name.size()] == '=') {
                *slot = std::string(arg.substr(name.size() + 1));
            }
        }
    }
    return options;
}

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
