// One side's network match: the Game's match stepped by a rollback session over a
// NetPeer, one call a frame. Holds the MatchStates the session rolls back to, draws
// each run frame's events, plays the sounds of each confirmed frame once and records
// the confirmed inputs of both players.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/match_events.h"
#include "core/match_records.h"
#include "match/match_state.h"
#include "match/replay_file.h"
#include "net/link_stats.h"
#include "net/net_peer.h"
#include "net/rollback_session.h"

namespace vx::net {

// The Game's settings for a network match from the host's start packet (1P VS 2P).
void ApplyStart(Game& g, const StartPacket& start);

class NetMatch : public RollbackTarget {
  public:
    // Sets the match up on the stage of start with the host's match seed. localPlayer 0
    // is the host (left), 1 the guest (right). The match's records are its own.
    NetMatch(Game& g, NetPeer& peer, int localPlayer, const StartPacket& start, uint8_t matchNo);
    ~NetMatch() override;

    // One frame's turn at nowMs with this side's keys: network, input, maybe a frame.
    // g.KeyFlags is left as it was (the window's key events keep it as the keys held);
    // the match's own key flags live apart and go into the state and its hash.
    RollbackSession::Tick Tick(int64_t nowMs, InputBits localKeys);

    // A fixed input delay in frames (0..kMaxInputDelay), or nothing for the automatic
    // one: half the round trip, at most kMaxAutoInputDelay.
    void SetFixedInputDelay(std::optional<uint32_t> frames) { fixedDelay_ = frames; }
    // What the network line shows at nowMs.
    LinkFigures Figures(int64_t nowMs) const;

    MatchRecords& Records() { return r_; }
    const RollbackSession& Session() const { return session_; }
    RollbackSession& Session() { return session_; }
    uint64_t Hash() const { return MatchStateHash(Capture()); }
    // The state after the confirmed frames (Session().Confirmed()), which no correction
    // changes any more: where a watcher joining now comes in.
    MatchState ConfirmedState() const;
    // Both players' inputs of every confirmed frame, player 1 first: the replay's data.
    const std::vector<std::array<InputBits, 2>>& ConfirmedInputs() const { return confirmedInputs_; }
    // The confirmed frames as a local match's replay; incomplete when not ended.
    Replay ReplayOf();
    // Writes ReplayOf() into g.ReplayFolder (nothing when it is empty) and returns it.
    Replay WriteReplay();
    // After "out of step": writes into folder (made when missing) the replay of the
    // agreed frames (replay.vxr), where the hashes first differed (difference.txt) and
    // the state at the last frame both agreed on (state-at-frame-N.txt). False with the
    // reason in error when it cannot be written.
    bool WriteDesyncEvidence(const std::filesystem::path& folder, std::string& error);
    // Where a desync's evidence goes: "desync/<date and time>-<host|guest>" beside the
    // replays folder, $XDG_DATA_HOME/voltrax/desync/... for the program.
    static std::filesystem::path DesyncFolder(const std::filesystem::path& replayFolder, bool host,
                                              int64_t dateSeconds);
    // One frame's inputs as the key flags of a local 1P VS 2P match.
    static uint8_t ReplayKeys(const std::array<InputBits, 2>& in);
    // The --verbose line: frames, scores, result, hash, rollback, round trip, bytes. The
    // scores, result and hash are those of agreed (the match's replay) when given, else
    // those on this side's screen, which a match cut short may have run ahead of.
    std::string SummaryLine(const Replay* agreed = nullptr) const;

    void SaveState(int slot) override;
    void LoadState(int slot) override;
    void StepFrame(InputBits player1, InputBits player2, bool rerun) override;
    bool Over() const override;
    uint64_t StateHash() const override { return Hash(); }

  private:
    void RecordConfirmed();
    void PlayConfirmedSounds();
    MatchState Capture() const;

    Game& g_;
    NetPeer& peer_;
    MatchRecords r_;
    RollbackSession session_;
    int localPlayer_;
    std::vector<MatchState> slots_;
    std::vector<std::array<InputBits, 2>> confirmedInputs_;
    KeyFlagSet matchKeys_{};  // the key flags of the match's last frame
    // The events of each frame's latest run, by frame modulo kRollbackSlots; confirmed
    // frames are never more than kMaxPrediction behind the frames run.
    std::vector<MatchEvents> frameEvents_;
    uint32_t heard_ = 0;  // frames whose sounds have been played
    int16_t timeLimit_ = 0;
    int64_t startDate_ = 0;  // seconds since the epoch, for the replay's name
    std::optional<uint32_t> fixedDelay_;
    RecentMax recentRollbacks_;
};

}  // namespace vx::net
