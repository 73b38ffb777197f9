#include "net/net_match.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "core/match_settings.h"
#include "match/match_events_output.h"
#include "match/match_loop.h"
#include "match/replay_check.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "platform/settings_file.h"

namespace vx::net {

void ApplyStart(Game& g, const StartPacket& start) {
    g.GameMode = game_mode::kVs2P;
    match_settings::UseForMatch(g, {.stage = start.stage,
                                    .ruleKind = start.ruleKind,
                                    .timeLimit = start.timeLimit,
                                    .scoreLimit = start.scoreLimit,
                                    .difficulty = start.difficulty});
}

NetMatch::NetMatch(Game& g, NetPeer& peer, int localPlayer, const StartPacket& start, uint8_t matchNo)
    : g_(g), peer_(peer), session_(*this, localPlayer), localPlayer_(localPlayer) {
    ApplyStart(g, start);
    // The panel's drawing zeroes the scores in the window before the setup, which reads
    // them; a headless side has no panel.
    g.Scores = {0, 0};
    SetUpMatchState(g, r_, start.stage, start.seed);
    // The window's intro counts the clock as it draws the first frame: the same count
    // here keeps a network match and the local replay of its inputs alike.
    if (g.RuleKind == rule_kind::kTime)
        for (int i = 0; i < kIntroClockCounts; ++i) CountClock(g, g.TimeLeft);
    timeLimit_ = start.timeLimit;
    startDate_ =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    g.MatchRequest = match_request::kNone;
    // Only the state the match's rules read (a pause is taken while playing); in the
    // window the match's loop enters the intro and the play screens itself.
    g.ScreenState = screen_state::kPlaying;
    matchKeys_ = g.KeyFlags;
    slots_.assign(kRollbackSlots, Capture());
    frameEvents_.assign(kRollbackSlots, MatchEvents{});
    peer_.Attach(&session_, matchNo);
}

NetMatch::~NetMatch() {
    peer_.Detach(&session_);
}

MatchState NetMatch::Capture() const {
    MatchState s = CaptureMatchState(g_, r_);
    s.KeyFlags = matchKeys_;
    return s;
}

MatchState NetMatch::ConfirmedState() const {
    // Slot c holds the state before frame c, saved once every frame before it was
    // confirmed (a correction reruns only frames not yet confirmed).
    const uint32_t c = session_.Confirmed();
    return c < session_.Frame() ? slots_[c % kRollbackSlots] : Capture();
}

void NetMatch::SaveState(int slot) {
    slots_[static_cast<std::size_t>(slot)] = Capture();
}

void NetMatch::LoadState(int slot) {
    const MatchState& s = slots_[static_cast<std::size_t>(slot)];
    RestoreMatchState(g_, r_, s);
    matchKeys_ = s.KeyFlags;
}

void NetMatch::StepFrame(InputBits player1, InputBits player2, bool) {
    const KeyFlagSet keys = UnpackKeyFlags(ReplayKeys({player1, player2}));
    const uint32_t frame = session_.Frame();
    const MatchEvents events = StepMatchFrame(g_, r_, game_mode::kVs2P, keys);
    matchKeys_ = keys;
    // The picture follows every run (a rollback's corrections are drawn over); the
    // sounds wait until the frame is confirmed, when its last run is the true one.
    OutputMatchEvents(g_, events, event_output::kPictures);
    frameEvents_[frame % kRollbackSlots] = events;
}

void NetMatch::PlayConfirmedSounds() {
    for (; heard_ < session_.Confirmed(); ++heard_)
        OutputMatchEvents(g_, frameEvents_[heard_ % kRollbackSlots], event_output::kSounds);
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
    // Half the round trip in frames, at most kMaxAutoInputDelay, keeps most corrections
    // short; a player who wants a steady feel fixes it instead.
    const auto automatic =
        std::min(static_cast<uint32_t>(peer_.MeanRoundTripMs() / 2 / kFrameMs), kMaxAutoInputDelay);
    session_.SetInputDelay(fixedDelay_.value_or(automatic));
    session_.AddLocalInput(localKeys);
    if (peer_.FrameAdvantage() >= 2 && session_.Frame() % 2 == 0) session_.HoldBack();
    const uint64_t rolledBack = session_.RolledBackFrames();
    const auto tick = session_.Advance();
    peer_.NoteMatchWaiting(session_.AwaitingRemote());
    recentRollbacks_.Add(nowMs, static_cast<uint32_t>(session_.RolledBackFrames() - rolledBack));
    RecordConfirmed();
    PlayConfirmedSounds();
    peer_.SendInputs(nowMs);
    peer_.Pump(nowMs);
    return tick;
}

LinkFigures NetMatch::Figures(int64_t nowMs) const {
    LinkFigures f;
    f.roundTripMs = peer_.LastRoundTripMs();
    f.inputDelay = session_.InputDelay();
    f.automaticDelay = !fixedDelay_.has_value();
    f.recentRollback = recentRollbacks_.Max(nowMs);
    f.lossPercent = peer_.LossPercent();
    return f;
}

uint8_t NetMatch::ReplayKeys(const std::array<InputBits, 2>& in) {
    // The key flags a local 1P VS 2P match reads: player 1's up and down, then player
    // 2's down and up (see StepFrame).
    return PackKeyFlags({(in[0] & 1u) != 0, (in[0] & 2u) != 0, (in[1] & 2u) != 0, (in[1] & 1u) != 0});
}

Replay NetMatch::ReplayOf() {
    MatchKeyLog& log = g_.KeyLog;
    log.mode = MatchKeyLog::Mode::kOff;
    log.keys.clear();
    for (const auto& in : confirmedInputs_) log.keys.push_back(ReplayKeys(in));
    log.timeLimit = timeLimit_;
    log.date = startDate_;
    log.lastHash = Hash();
    if (session_.EndFrame()) return ReplayOfMatch(g_, DecidedResult(g_));
    // Cut short: the state on screen may run ahead of the frames both sides agree on, so
    // the scores and the hash are those the agreed frames reach, kept as incomplete.
    Replay replay = ReplayOfMatch(g_, match_result::kUndecided);
    const ReplayOutcome agreed = CheckReplay(replay);
    replay.scores = agreed.scores;
    replay.finalHash = agreed.finalHash;
    return replay;
}

Replay NetMatch::WriteReplay() {
    Replay replay = ReplayOf();
    if (!g_.ReplayFolder.empty() && !confirmedInputs_.empty()) SaveReplay(g_, replay);
    return replay;
}

std::filesystem::path NetMatch::DesyncFolder(const std::filesystem::path& replayFolder, bool host,
                                             int64_t dateSeconds) {
    const auto date = static_cast<std::time_t>(dateSeconds);
    std::tm local{};
    localtime_r(&date, &local);
    char name[64];
    std::strftime(name, sizeof name, "%Y%m%d-%H%M%S", &local);
    return replayFolder.parent_path() / "desync" / (std::string(name) + (host ? "-host" : "-guest"));
}

bool NetMatch::WriteDesyncEvidence(const std::filesystem::path& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = "cannot make " + folder.string() + ": " + ec.message();
        return false;
    }
    const HashDifference& d = peer_.Difference();
    const Replay replay = ReplayOf();
    if (!WriteFileAtomically(folder / "replay.vxr", EncodeReplay(replay))) {
        error = "cannot write " + (folder / "replay.vxr").string();
        return false;
    }
    const auto hex = [](const std::optional<uint64_t>& h) {
        char text[24] = "not known here";
        if (h) std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(*h));
        return std::string(text);
    };
    // The state at the last agreed frame is the agreed inputs played again without a
    // network: the same frames both sides ran, from the same start.
    const uint32_t agreed = d.lastAgreed;
    const std::string stateName = "state-at-frame-" + std::to_string(agreed) + ".txt";
    {
        std::ofstream text(folder / "difference.txt");
        text << "side: " << (localPlayer_ == 0 ? "host (player 1)" : "guest (player 2)")
             << "\nfirst differing frame: "
             << (d.frame != 0 ? std::to_string(d.frame) : std::string("not known here"))
             << "\nthis side's hash there: " << hex(d.ours)
             << "\nthe other side's hash there: " << hex(d.theirs) << "\nlast agreed frame: " << agreed
             << "\nhash both had there: " << hex(d.agreedHash)
             << "\nconfirmed frames: " << session_.Confirmed() << "\nframes run here: " << session_.Frame()
             << "\nstage " << int{replay.stageNo} << ", seed " << replay.seed
             << "\nstate at the last agreed frame: " << stateName << "\n";
        std::ofstream state(folder / stateName);
        state << DescribeMatchState(ReplayStateAt(replay, agreed));
        if (!text || !state) {
            error = "cannot write into " + folder.string();
            return false;
        }
    }
    return true;
}

std::string NetMatch::SummaryLine(const Replay* agreed) const {
    const char* results[] = {"undecided", "player 1 wins", "player 2 wins", "draw"};
    const int16_t result = agreed ? agreed->result : DecidedResult(g_);
    const unsigned score1 = agreed ? agreed->scores[0] : g_.Scores[0];
    const unsigned score2 = agreed ? agreed->scores[1] : g_.Scores[1];
    const uint64_t hash = agreed ? agreed->finalHash : Hash();
    char line[320];
    std::snprintf(
        line, sizeof line,
        "network match: frames %u, scores %u-%u, %s, state hash %016llx, largest rollback %u frames, "
        "mean round trip %u ms, bytes sent %llu, received %llu",
        session_.Confirmed(), score1, score2, results[result], static_cast<unsigned long long>(hash),
        session_.LargestRollback(), peer_.MeanRoundTripMs(),
        static_cast<unsigned long long>(peer_.BytesSent()),
        static_cast<unsigned long long>(peer_.BytesReceived()));
    return line;
}

}  // namespace vx::net
