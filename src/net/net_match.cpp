#include "net/net_match.h"

#include <cstdio>

#include "match/match_loop.h"
#include "match/rules.h"

namespace vx::net {

void ApplyStart(Game& g, const StartPacket& start) {
    g.GameMode = game_mode::kVs2P;
    g.StageNo = start.stage;
    g.RuleKind = start.ruleKind;
    g.TimeLeft = start.timeLimit;
    g.ScoreLimit = start.scoreLimit;
    g.Difficulty = start.difficulty;
}

NetMatch::NetMatch(Game& g, NetPeer& peer, int localPlayer, const StartPacket& start, uint8_t matchNo)
    : g_(g), peer_(peer), session_(*this, localPlayer) {
    ApplyStart(g, start);
    SetUpMatchState(g, r_, start.stage, start.seed);
    // The panel's drawing zeroes the scores in the window; a headless side has none.
    g.Scores = {0, 0};
    g.MatchRequest = match_request::kNone;
    g.ScreenState = screen_state::kPlaying;
    slots_.assign(kRollbackSlots, CaptureMatchState(g, r_));
    peer_.Attach(&session_, matchNo);
}

NetMatch::~NetMatch() {
    peer_.Detach(&session_);
}

void NetMatch::SaveState(int slot) {
    slots_[static_cast<std::size_t>(slot)] = CaptureMatchState(g_, r_);
}

void NetMatch::LoadState(int slot) {
    RestoreMatchState(g_, r_, slots_[static_cast<std::size_t>(slot)]);
}

void NetMatch::StepFrame(InputBits player1, InputBits player2, bool rerun) {
    g_.KeyFlags = {ToBool16(player1 & 1u), ToBool16(player1 & 2u), ToBool16(player2 & 2u),
                   ToBool16(player2 & 1u)};
    // A frame run again was heard the first time: its effects stay silent.
    WavePlayer* sound = g_.wavePlayer;
    if (rerun) g_.wavePlayer = nullptr;
    StepMatchFrame(g_, r_, game_mode::kVs2P);
    g_.wavePlayer = sound;
}

bool NetMatch::Over() const {
    return DecidedResult(g_) != match_result::kUndecided;
}

void NetMatch::RecordConfirmed() {
    while (confirmedInputs_.size() < session_.Confirmed()) {
        const auto f = static_cast<uint32_t>(confirmedInputs_.size());
        confirmedInputs_.push_back({session_.ConfirmedInput(0, f), session_.ConfirmedInput(1, f)});
    }
}

RollbackSession::Tick NetMatch::Tick(int64_t nowMs, InputBits localKeys) {
    peer_.Pump(nowMs);
    if (peer_.Ended()) return RollbackSession::Tick::Waiting;
    // Half the round trip in frames, at most kMaxInputDelay, keeps most corrections short.
    session_.SetInputDelay(static_cast<uint32_t>(peer_.MeanRoundTripMs() / 2 / kFrameMs));
    session_.AddLocalInput(localKeys);
    if (peer_.FrameAdvantage() >= 2 && session_.Frame() % 2 == 0) session_.HoldBack();
    const auto tick = session_.Advance();
    RecordConfirmed();
    peer_.SendInputs(nowMs);
    peer_.Pump(nowMs);
    return tick;
}

std::string NetMatch::SummaryLine() const {
    const char* results[] = {"undecided", "player 1 wins", "player 2 wins", "draw"};
    const int16_t result = DecidedResult(g_);
    char line[320];
    std::snprintf(
        line, sizeof line,
        "network match: frames %u, scores %u-%u, %s, state hash %016llx, largest rollback %u frames, "
        "mean round trip %u ms, bytes sent %llu, received %llu",
        session_.Confirmed(), g_.Scores[0], g_.Scores[1], results[result],
        static_cast<unsigned long long>(Hash()), session_.LargestRollback(), peer_.MeanRoundTripMs(),
        static_cast<unsigned long long>(peer_.BytesSent()),
        static_cast<unsigned long long>(peer_.BytesReceived()));
    return line;
}

}  // namespace vx::net
