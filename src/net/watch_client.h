// A watcher: follows the matches of a host open to watchers without playing. It joins
// like a guest (the host's cookie, then its Hello), asks to watch with its versions,
// and steps every frame the host sends with StepMatchFrame, exactly the frames the
// players confirmed: from the match's start, or from the confirmed state it was sent
// when it came in mid-match. Each next match (a retry, another stage) comes as a new
// start with its settings and seed. It acknowledges the frames it holds every
// kWatchAckEveryMs, so a host can tell when it falls behind.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/match_records.h"
#include "net/link.h"
#include "net/packets.h"

namespace vx {
struct MatchState;
}

namespace vx::net {

// The host's match state for a watcher who joins late, from its bytes: false (and no use
// of them) unless every bool is 0 or 1 and every count and index the match reads lies
// inside its array. The hash that follows checks they arrived intact.
bool ReadWatchedState(const std::vector<uint8_t>& bytes, MatchState& state);

constexpr int64_t kWatchAckEveryMs = 100;

class MatchWatcher {
  public:
    // Steps the matches it follows in g (a Game of its own, with no window or sound).
    MatchWatcher(std::unique_ptr<Link> link, std::string programVersion, Game& g);

    // Receives, steps every frame that came and acknowledges; nowMs is a monotonic clock.
    void Pump(int64_t nowMs);
    // Says goodbye to the host and stops.
    void Leave();

    bool Ended() const { return !endMessage_.empty(); }
    // Why it ended, for the person watching.
    const std::string& EndMessage() const { return endMessage_; }

    // The match followed now (once a start came), and how far.
    bool Following() const { return following_; }
    uint8_t MatchNo() const { return match_; }
    const StartPacket& Start() const { return start_; }
    uint32_t Frame() const { return frame_; }             // frames stepped (the next to step)
    uint32_t JoinedAtFrame() const { return joinedAt_; }  // 0 unless it came in mid-match
    bool MatchOver() const;
    uint64_t Hash() const;
    // The players' --verbose line for the match followed (frames, scores, result, state
    // hash), then where this watcher came in and the bytes it received.
    std::string SummaryLine() const;
    // The state of the match followed, with the last frame's keys.
    MatchState State() const;

    // For a window that shows the same matches in a Game of its own: told once each
    // match is set up (State() is then its first picture; JoinedAtFrame() says whether
    // it came in mid-match) and of each frame's keys as the frame is stepped here.
    std::function<void()> onMatchSetUp;
    std::function<void(const KeyFlagSet&)> onFrameStepped;

  private:
    void Handle(const Packet& packet);
    void SetUp(const WatchStartPacket& start);
    void StepFrames(const WatchInputsPacket& inputs);
    void End(const std::string& message);

    std::unique_ptr<Link> link_;
    std::string version_;
    Game& g_;
    MatchRecords r_;
    KeyFlagSet keys_{};  // the key flags of the last frame stepped
    DropCounts drops_;
    std::vector<LinkEvent> events_;
    bool helloSeen_ = false;
    int64_t firstPumpMs_ = -1;
    int64_t lastAckMs_ = -1;
    uint32_t ackedFrame_ = 0;
    std::optional<WatchStartPacket> pending_;  // a mid-match start waiting for its state
    std::vector<uint8_t> state_;
    bool following_ = false;
    uint8_t match_ = 0;
    StartPacket start_;
    uint32_t frame_ = 0;
    uint32_t joinedAt_ = 0;
    std::string endMessage_;
};

}  // namespace vx::net
