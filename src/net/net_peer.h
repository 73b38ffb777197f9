// One side of a network match: the link, the checks every received packet passes, the
// handshake, keep-alives and round trips, sending and taking the inputs of a rollback
// session, the exchanged state hashes and the messages that end a network match.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/match_settings.h"
#include "net/enet_link.h"
#include "net/link.h"
#include "net/link_stats.h"
#include "net/net_sim.h"
#include "net/packets.h"
#include "net/rollback_session.h"

namespace vx::net {

// A connected peer may be away this long (nothing heard, or no inputs while the match
// waits for them) before both sides give up; until then the match only freezes.
constexpr int64_t kWaitLimitMs = 20000;
// A guest that has heard nothing at all from the address it joined gives up sooner.
constexpr int64_t kNoAnswerLimitMs = 5000;
// The match is shown as waiting once it has stood still this long for the other side.
constexpr int64_t kWaitShownAfterMs = 1000;
// The link's time advances by at most this much between two readings of the clock and
// never goes back: a machine waking from sleep, a stopped process or a clock fault
// counts as one short pause, not as the other side's silence.
constexpr int64_t kLargestClockStepMs = 1000;
constexpr int64_t kKeepAliveEveryMs = 250;
constexpr uint32_t kLongestRoundTripMs = 1000;  // longer samples are drops, not the path
constexpr int64_t kFrameMs = 33;

struct PeerOptions {
    bool host = false;
    std::string programVersion;         // compared in the handshake
    std::optional<NetSimSettings> sim;  // applied to this side's outgoing packets
    uint64_t simSeed = 1;
};

// What ended a network match, for the message both players read.
namespace end_reason {
constexpr int kNone = 0;
constexpr int kVersionMismatch = 1;
constexpr int kPeerLeft = 2;
constexpr int kSilence = 3;  // one side waited kWaitLimitMs for the other
constexpr int kOutOfStep = 4;
constexpr int kStopped = 5;      // S on either side: back to the title, no fault
constexpr int kNoAnswer = 6;     // a guest heard nothing from the address it joined
constexpr int kBadSettings = 7;  // the host's start packet holds a value the menu cannot choose
}  // namespace end_reason

// Where the two sides' state hashes first differed, once they are out of step.
struct HashDifference {
    uint32_t frame = 0;                  // the first frame whose hashes differed (0: none known)
    uint32_t lastAgreed = 0;             // the last frame whose hashes were compared and agreed
    std::optional<uint64_t> agreedHash;  // the hash both had there
    std::optional<uint64_t> ours;        // the hashes at frame, as far as this side has them
    std::optional<uint64_t> theirs;
};

class NetPeer {
  public:
    NetPeer(std::unique_ptr<Link> link, PeerOptions options);
    ~NetPeer();

    // Receives and checks everything that came, answers and sends what is due. Call
    // often (each frame at least); nowMs is this side's monotonic clock (see LinkTime).
    void Pump(int64_t nowMs);
    // The link's own time for the clock reading nowMs: it follows the clock but never
    // goes back and steps at most kLargestClockStepMs at a time. Every rule of the link
    // (silence, keep-alives, round trips, pacing, waiting) runs on it.
    int64_t LinkTime(int64_t nowMs);

    // The match's rollback session stands still for want of the other side's inputs
    // (waiting is true) or runs (false): told once a frame's turn. A match that
    // stands still kWaitLimitMs ends, even while keep-alives still come.
    void NoteMatchWaiting(bool waiting);
    // How long this side has been waiting for the other player, once that is longer
    // than kWaitShownAfterMs (0 otherwise): nothing heard, or the match standing still.
    int64_t WaitingMs() const;

    bool Ready() const { return helloSeen_ && helloSent_ && endReason_ == end_reason::kNone; }
    bool Ended() const { return endReason_ != end_reason::kNone; }
    int EndReason() const { return endReason_; }
    const std::string& EndMessage() const { return endMessage_; }
    // What the other side said it runs, once its hello came (for the mismatch message).
    const std::string& TheirVersion() const { return theirVersion_; }
    int TheirProtocol() const { return theirProtocol_; }
    const std::string& OurVersion() const { return options_.programVersion; }

    // The match's rollback session, whose inputs this side sends and receives.
    // match numbers the connection's matches, so that a late packet of the last one is
    // never taken for the next.
    void Attach(RollbackSession* session, uint8_t match);
    // Forgets the session if it is still the attached one (a newer match may be).
    void Detach(const RollbackSession* session) {
        if (session_ == session) session_ = nullptr;
    }
    // Sends the local inputs not yet acknowledged (after AddLocalInput each frame).
    void SendInputs(int64_t nowMs);
    // The frames this side runs ahead of the other, judged from the other's last word
    // and half the round trip; the caller holds back when it is 2 or more.
    int32_t FrameAdvantage() const;

    void SendStart(const StartPacket& start);
    std::optional<StartPacket> TakeStart();
    void SendControl(uint8_t kind, uint32_t frame);
    std::optional<ControlPacket> TakeControl();
    void SendChoice(uint8_t kind, uint8_t value);
    std::optional<ChoicePacket> TakeChoice();
    // The guest's requests after a result and the host's refusals (the newest counts).
    void SendRequest(uint8_t kind, uint8_t answer);
    std::optional<RequestPacket> TakeRequest();
    // The value of a refused start packet (end_reason::kBadSettings).
    const std::optional<match_settings::Fault>& BadSetting() const { return badSetting_; }

    // Ends on this side with the reason and the message, telling the other side when it
    // should know (leaving, stopping, out of step).
    void End(int reason, const std::string& message);
    // The program is ending: the other side is told, then the link closes.
    void Leave();

    // After an "out of step" end (found here or told by the other side): where it began.
    const HashDifference& Difference() const { return difference_; }

    // Figures for the --verbose line and the benchmarks.
    uint32_t MeanRoundTripMs() const {
        return rttSamples_ == 0 ? 0 : static_cast<uint32_t>(rttSumMs_ / rttSamples_);
    }
    uint64_t BytesSent() const { return link_->BytesSent(); }
    uint64_t BytesReceived() const { return link_->BytesReceived(); }
    const DropCounts& Drops() const { return drops_; }
    // For the network line: the latest round trip and the keep-alives lost lately.
    uint32_t LastRoundTripMs() const { return lastRttMs_; }
    uint32_t LossPercent() const { return loss_.Percent(nowMs_); }
    GateCounts Gate() const { return link_->Gate(); }

  private:
    // How long the match has stood still in turns in a row (0 when it runs or is paused).
    int64_t MatchStandingMs() const;
    void Handle(const Packet& packet, int64_t nowMs);
    void SendEverythingNow();
    void HandleInputs(const InputsPacket& inputs);
    void CompareHashes();
    void NoteDifference(uint32_t frame);
    void Send(const Packet& packet, bool reliable, int64_t nowMs);
    void FlushSim(int64_t nowMs);

    std::unique_ptr<Link> link_;
    PeerOptions options_;
    std::unique_ptr<NetSim> sim_;
    RollbackSession* session_ = nullptr;
    uint8_t match_ = 0;
    DropCounts drops_;
    int64_t nowMs_ = 0;        // link time (see LinkTime)
    int64_t lastClockMs_ = 0;  // the last clock reading
    bool clockRead_ = false;
    int64_t lastHeardMs_ = -1;
    int64_t awayUntilMs_ = -1;          // when this side came back from longer than kWaitLimitMs away
    int64_t matchWaitingSinceMs_ = -1;  // the match has stood still since (or -1)
    int64_t lastMatchTurnMs_ = -1;
    int64_t lastKeepAliveMs_ = -1;
    bool helloSent_ = false;
    bool helloSeen_ = false;
    int endReason_ = end_reason::kNone;
    std::string endMessage_;
    std::string theirVersion_;
    int theirProtocol_ = 0;

    uint32_t acked_ = 0;  // the other side holds our inputs below this
    uint32_t remoteFrame_ = 0;
    int64_t remoteFrameAtMs_ = 0;
    std::optional<StartPacket> start_;
    std::vector<ControlPacket> controls_;
    std::vector<ChoicePacket> choices_;
    static constexpr std::size_t kQueueLimit = 16;  // more unread commands than this are dropped
    std::array<HashPacket, 8> ownHashes_{};
    std::array<HashPacket, 8> theirHashes_{};
    HashDifference difference_;
    uint64_t rttSumMs_ = 0;
    uint32_t rttSamples_ = 0;
    uint32_t lastRttMs_ = 0;
    KeepAliveLoss loss_;
    std::optional<RequestPacket> request_;
    std::optional<match_settings::Fault> badSetting_;
};

}  // namespace vx::net
