#include "net/net_match.h"

#include <cstdio>

#include "match/match_loop.h"
#include "match/rules.h"
#include "stage/match_setup.h"

namespace vx::net {

namespace {

// FNV-1a over the fields that decide what happens next.
class StateHasher {
  public:
    void Add(int64_t v) {
        for (int i = 0; i < 8; ++i) {
            hash_ ^= static_cast<uint8_t>(v >> (8 * i));
            hash_ *= 0x100000001b3ULL;
        }
    }
    void Add(const Rect& r) {
        Add(r.left);
        Add(r.top);
        Add(r.right);
        Add(r.bottom);
    }
    uint64_t Value() const { return hash_; }

  private:
    uint64_t hash_ = 0xcbf29ce484222325ULL;
};

}  // namespace

struct NetMatch::Snapshot {
    MatchRecords r;
    std::array<uint8_t, 2> scores{};
    std::array<Bool16, 4> keyFlags{};
    uint8_t matchRequest = 0;
    uint8_t clockTick = 0;
    bool clockChanged = false;
    std::array<Rect, 3> blindAreas{};
    Bool16 simulationFlag = kFalse;
    int16_t timeLeft = 0;
    uint32_t frameCount = 0;
    MixingRandom random;
};

void ApplyStart(Game& g, const StartPacket& start) {
    g.GameMode = game_mode::kVs2P;
    g.StageNo = start.stage;
    g.RuleKind = start.ruleKind;
    g.TimeLeft = start.timeLimit;
    g.ScoreLimit = start.scoreLimit;
    g.Difficulty = start.difficulty;
}

uint64_t MatchStateHash(const Game& g, const MatchRecords& r, const MixingRandom&) {
    StateHasher h;
    h.Add(g.Scores[0]);
    h.Add(g.Scores[1]);
    h.Add(g.TimeLeft);
    h.Add(g.ClockTick);
    h.Add(g.FrameCount);
    h.Add(r.pucks.count);
    for (const auto& p : r.pucks.pucks) {
        h.Add(p.x);
        h.Add(p.y);
        h.Add(p.vx);
        h.Add(p.vy);
        h.Add(p.state);
        h.Add(p.bounceCounter);
    }
    for (const auto& p : r.paddles) {
        h.Add(p.y);
        h.Add(p.halfLength);
        h.Add(p.kind);
        h.Add(p.directionSign);
    }
    h.Add(r.item.kind);
    h.Add(r.item.phase);
    h.Add(r.item.timer);
    h.Add(r.item.x);
    h.Add(r.item.y);
    h.Add(r.item.owner);
    for (const auto& b : g.BlindAreas) h.Add(b);
    return h.Value();
}

NetMatch::NetMatch(Game& g, MixingRandom& random, NetPeer& peer, int localPlayer, const StartPacket& start,
                   uint8_t matchNo)
    : g_(g), random_(random), peer_(peer), session_(*this, localPlayer) {
    ApplyStart(g, start);
    random_.Seed(start.seed);
    SpareRects spare{};
    SetupMatch(g, r_.pucks, r_.paddles, r_.obstacles, r_.sprites, r_.item, spare, start.stage);
    // The panel's drawing zeroes the scores in the window; a headless side has none.
    g.Scores = {0, 0};
    g.MatchRequest = match_request::kNone;
    g.FrameCount = 0;
    g.ScreenState = screen_state::kPlaying;
    slots_.assign(kRollbackSlots, Snapshot{r_, {}, {}, 0, 0, false, {}, kFalse, 0, 0, random_});
    peer_.Attach(&session_, matchNo);
}

NetMatch::~NetMatch() {
    peer_.Detach(&session_);
}

void NetMatch::SaveState(int slot) {
    Snapshot& s = slots_[static_cast<std::size_t>(slot)];
    s.r = r_;
    s.scores = g_.Scores;
    s.keyFlags = g_.KeyFlags;
    s.matchRequest = g_.MatchRequest;
    s.clockTick = g_.ClockTick;
    s.clockChanged = g_.ClockChanged;
    s.blindAreas = g_.BlindAreas;
    s.simulationFlag = g_.SimulationFlag;
    s.timeLeft = g_.TimeLeft;
    s.frameCount = g_.FrameCount;
    s.random = random_;
}

void NetMatch::LoadState(int slot) {
    const Snapshot& s = slots_[static_cast<std::size_t>(slot)];
    r_ = s.r;
    g_.Scores = s.scores;
    g_.KeyFlags = s.keyFlags;
    g_.MatchRequest = s.matchRequest;
    g_.ClockTick = s.clockTick;
    g_.ClockChanged = s.clockChanged;
    g_.BlindAreas = s.blindAreas;
    g_.SimulationFlag = s.simulationFlag;
    g_.TimeLeft = s.timeLeft;
    g_.FrameCount = s.frameCount;
    random_ = s.random;
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
