// One side's network match: the Game's match stepped by a rollback session over a
// NetPeer, one call a frame. Holds the MatchStates the session rolls back to, keeps
// the re-run frames silent and records the confirmed inputs of both players.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/match_records.h"
#include "match/match_state.h"
#include "net/net_peer.h"
#include "net/rollback_session.h"

namespace vx::net {

// The Game's settings for a network match from the host's start packet (1P VS 2P).
void ApplyStart(Game& g, const StartPacket& start);

class NetMatch : public RollbackTarget {
  public:
    // Sets the match up on the stage of start with the host's match seed. localPlayer 0
    // is the host (left), 1 the guest (right).
    NetMatch(Game& g, NetPeer& peer, int localPlayer, const StartPacket& start, uint8_t matchNo);
    ~NetMatch() override;

    // One frame's turn at nowMs with this side's keys: network, input, maybe a frame.
    RollbackSession::Tick Tick(int64_t nowMs, InputBits localKeys);

    MatchRecords& Records() { return r_; }
    const RollbackSession& Session() const { return session_; }
    RollbackSession& Session() { return session_; }
    uint64_t Hash() const { return MatchStateHash(g_, r_); }
    // Both players' inputs of every confirmed frame, player 1 first: the replay's data.
    const std::vector<std::array<InputBits, 2>>& ConfirmedInputs() const { return confirmedInputs_; }
    // The --verbose line: frames, scores, result, hash, rollback, round trip, bytes.
    std::string SummaryLine() const;

    void SaveState(int slot) override;
    void LoadState(int slot) override;
    void StepFrame(InputBits player1, InputBits player2, bool rerun) override;
    bool Over() const override;
    uint64_t StateHash() const override { return Hash(); }

  private:
    void RecordConfirmed();

    Game& g_;
    NetPeer& peer_;
    MatchRecords r_;
    RollbackSession session_;
    std::vector<MatchState> slots_;
    std::vector<std::array<InputBits, 2>> confirmedInputs_;
};

}  // namespace vx::net
