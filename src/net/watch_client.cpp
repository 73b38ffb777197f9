#include "net/watch_client.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <vector>

#include "core/match_settings.h"
#include "match/match_loop.h"
#include "match/match_state.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "net/net_match.h"
#include "net/net_peer.h"

namespace vx::net {

namespace {

// The host's match state arrives as the bytes of a MatchState. Before they become one,
// every bool must hold 0 or 1 (anything else is no bool at all), and once they are, every
// count and number the match uses to pick an array element must lie inside that array:
// a host that sends anything else is refused rather than followed.
bool BoolBytesValid(const std::vector<uint8_t>& bytes) {
    static_assert(std::is_standard_layout_v<MatchState>);
    std::vector<size_t> at = {offsetof(MatchState, ClockChanged), offsetof(MatchState, SimulationFlag),
                              offsetof(MatchState, MatchSeeded)};
    for (size_t k = 0; k < std::tuple_size_v<KeyFlagSet>; ++k)
        at.push_back(offsetof(MatchState, KeyFlags) + k);
    for (size_t i : at)
        if (bytes[i] > 1) return false;
    return true;
}

bool StateInRange(const MatchState& s) {
    const MatchRecords& r = s.records;
    if (r.pucks.count > r.pucks.pucks.size() || r.obstacles.wallCount > r.obstacles.walls.size() ||
        r.obstacles.bumperCount > r.obstacles.bumpers.size() ||
        s.CornerPosts.count > s.CornerPosts.posts.size())
        return false;
    const ItemRecord& item = r.item;
    if (item.allowedCount == 0 || item.allowedCount > item.allowed.size() || item.kind > item_kind::kBlind ||
        item.owner < -1 || item.owner > 1)
        return false;
    for (uint8_t k : item.allowed)
        if (k > item_kind::kBlind) return false;
    return true;
}

}  // namespace

bool ReadWatchedState(const std::vector<uint8_t>& bytes, MatchState& state) {
    if (bytes.size() != sizeof(MatchState) || !BoolBytesValid(bytes)) return false;
    std::memcpy(&state, bytes.data(), sizeof state);
    return StateInRange(state);
}

MatchWatcher::MatchWatcher(std::unique_ptr<Link> link, std::string programVersion, Game& g)
    : link_(std::move(link)), version_(std::move(programVersion)), g_(g) {}

void MatchWatcher::End(const std::string& message) {
    if (Ended()) return;
    endMessage_ = message;
    link_->Close();
}

void MatchWatcher::Leave() {
    End("you stopped watching");
}

void MatchWatcher::Pump(int64_t nowMs) {
    if (Ended()) return;
    if (firstPumpMs_ < 0) firstPumpMs_ = nowMs;
    events_.clear();
    link_->Poll(events_, drops_);
    for (const LinkEvent& e : events_) {
        if (e.kind == LinkEvent::Kind::Disconnected) End("the host ended the connection");
        if (e.kind != LinkEvent::Kind::Received || Ended()) continue;
        if (const auto p = ReadPacket(e.bytes.data(), e.bytes.size(), 0, drops_)) Handle(*p);
    }
    if (Ended()) return;
    if (!helloSeen_ && nowMs - firstPumpMs_ > kNoAnswerLimitMs) {
        End("nobody answered at that address");
        return;
    }
    if (following_ && frame_ != ackedFrame_ && (lastAckMs_ < 0 || nowMs - lastAckMs_ >= kWatchAckEveryMs)) {
        Packet ack;
        ack.type = packet_type::kWatchAck;
        ack.watchAck = {match_, frame_};
        link_->Send(Encode(ack), true);
        ackedFrame_ = frame_;
        lastAckMs_ = nowMs;
    }
}

void MatchWatcher::Handle(const Packet& p) {
    switch (p.type) {
        case packet_type::kHello:
            if (helloSeen_) break;
            if (p.hello.protocolVersion != kProtocolVersion || VersionText(p.hello) != version_) {
                End("the host runs VOLTRAX " + VersionText(p.hello) + ", this is " + version_ +
                    ": only the same versions can watch each other");
                break;
            }
            helloSeen_ = true;
            link_->Send(Encode(MakeWatch(version_)), true);
            break;
        case packet_type::kWatchStart: {
            const StartPacket& s = p.watchStart.start;
            if (const auto fault =
                    match_settings::Check({s.stage, s.ruleKind, s.timeLimit, s.scoreLimit, s.difficulty})) {
                End(std::string("the host started a match with ") + match_settings::FieldName(fault->field) +
                    " " + std::to_string(fault->value) + ", which VOLTRAX does not offer");
            } else if (p.watchStart.stateBytes == 0) {
                SetUp(p.watchStart);
                if (onMatchSetUp) onMatchSetUp();
            } else if (p.watchStart.stateBytes != sizeof(MatchState)) {
                End("the host's match state does not fit this program");
            } else {
                following_ = false;
                pending_ = p.watchStart;
                state_.clear();
            }
            break;
        }
        case packet_type::kWatchState: {
            if (!pending_ || p.watchState.offset != state_.size() ||
                state_.size() + p.watchState.count > pending_->stateBytes)
                break;
            state_.insert(state_.end(), p.watchState.bytes.begin(),
                          p.watchState.bytes.begin() + p.watchState.count);
            if (state_.size() < pending_->stateBytes) break;
            static_assert(std::is_trivially_copyable_v<MatchState>);
            MatchState state;
            const WatchStartPacket start = *pending_;
            pending_.reset();
            if (!ReadWatchedState(state_, state)) {
                End("the host sent a match state this program cannot follow");
                break;
            }
            if (MatchStateHash(state) != start.stateHash) {
                End("the match state from the host did not arrive intact");
                break;
            }
            SetUp(start);
            RestoreMatchState(g_, r_, state);
            keys_ = state.KeyFlags;
            frame_ = joinedAt_ = ackedFrame_ = start.frame;
            if (onMatchSetUp) onMatchSetUp();
            break;
        }
        case packet_type::kWatchInputs: StepFrames(p.watchInputs); break;
        case packet_type::kWatchEnd:
            End(p.watchEnd == watch_end::kFull ? "the match already has as many watchers as it takes"
                : p.watchEnd == watch_end::kTooFarBehind ? "you fell too far behind"
                                                         : "the players' connection ended");
            break;
        default: break;
    }
}

void MatchWatcher::SetUp(const WatchStartPacket& start) {
    // As each player's side sets its match up (NetMatch).
    ApplyStart(g_, start.start);
    g_.Scores = {0, 0};
    SetUpMatchState(g_, r_, start.start.stage, start.start.seed);
    if (g_.RuleKind == rule_kind::kTime)
        for (int i = 0; i < kIntroClockCounts; ++i) CountClock(g_, g_.TimeLeft);
    g_.MatchRequest = match_request::kNone;
    g_.ScreenState = screen_state::kPlaying;
    keys_ = g_.KeyFlags;
    following_ = true;
    match_ = start.match;
    start_ = start.start;
    frame_ = joinedAt_ = ackedFrame_ = 0;
}

void MatchWatcher::StepFrames(const WatchInputsPacket& in) {
    if (!following_ || in.match != match_ || in.firstFrame > frame_) return;
    for (uint32_t i = frame_ - in.firstFrame; i < in.count && !MatchOver(); ++i) {
        const uint8_t both = in.frames[i];
        const KeyFlagSet keys = UnpackKeyFlags(NetMatch::ReplayKeys(
            {static_cast<InputBits>(both & 3u), static_cast<InputBits>((both >> 2) & 3u)}));
        StepMatchFrame(g_, r_, game_mode::kVs2P, keys);
        keys_ = keys;
        ++frame_;
        if (onFrameStepped) onFrameStepped(keys);
    }
}

bool MatchWatcher::MatchOver() const {
    return following_ && DecidedResult(g_) != match_result::kUndecided;
}

MatchState MatchWatcher::State() const {
    MatchState s = CaptureMatchState(g_, r_);
    s.KeyFlags = keys_;
    return s;
}

uint64_t MatchWatcher::Hash() const {
    return MatchStateHash(State());
}

std::string MatchWatcher::SummaryLine() const {
    const char* results[] = {"undecided", "player 1 wins", "player 2 wins", "draw"};
    char line[320];
    std::snprintf(line, sizeof line,
                  "network match: frames %u, scores %u-%u, %s, state hash %016llx, watched from frame %u, "
                  "bytes received %llu",
                  frame_, unsigned{g_.Scores[0]}, unsigned{g_.Scores[1]}, results[DecidedResult(g_)],
                  static_cast<unsigned long long>(Hash()), joinedAt_,
                  static_cast<unsigned long long>(link_->BytesReceived()));
    return line;
}

}  // namespace vx::net
