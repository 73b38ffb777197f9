// Fuzz target: any bytes as a replay file. Either the reader refuses them with a
// reason and leaves the replay untouched, or the replay it gives encodes and reads back
// to itself, and a short one plays through to an outcome.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "match/replay_check.h"
#include "match/replay_file.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "replay fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    vx::Replay replay;
    replay.seed = 12345;
    const vx::Replay untouched = replay;
    std::string error;
    if (!vx::DecodeReplay(bytes, replay, error)) {
        Check(!error.empty(), "refused without a reason");
        Check(replay == untouched, "a refused file changed the replay");
        return 0;
    }
    Check(replay.keys.size() <= vx::replay_format::kMaxFrames, "more frames than any replay holds");
    vx::Replay again;
    Check(vx::DecodeReplay(vx::EncodeReplay(replay), again, error), "its own encoding is refused");
    Check(again == replay, "the encoding does not read back the same");
    if (replay.keys.size() <= 600) {
        const vx::ReplayOutcome outcome = vx::CheckReplay(replay);
        Check(outcome.frames <= replay.keys.size(), "more frames played than recorded");
    }
    return 0;
}
