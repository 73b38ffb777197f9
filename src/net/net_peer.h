// One side of a network match: the link, the checks every received packet passes, the
// handshake, keep-alives and round trips, sending and taking the inputs of a rollback
// session, the exchanged state hashes and the messages that end a network match.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/enet_link.h"
#include "net/link.h"
#include "net/net_sim.h"
#include "net/packets.h"
#include "net/rollback_session.h"

namespace vx::net {

constexpr int64_t kSilenceLimitMs = 5000;
constexpr int64_t kKeepAliveEveryMs = 250;
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
constexpr int kSilence = 3;
constexpr int kOutOfStep = 4;
constexpr int kStopped = 5;   // S on either side: back to the title, no fault
constexpr int kNoAnswer = 6;  // a guest heard nothing from the address it joined
}  // namespace end_reason

class NetPeer {
  public:
    NetPeer(std::unique_ptr<Link> link, PeerOptions options);
    ~NetPeer();

    // Receives and checks everything that came, answers and sends what is due. Call
    // often (each frame at least); nowMs is this side's clock.
    void Pump(int64_t nowMs);

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

    // Ends on this side with the reason and the message, telling the other side when it
    // should know (leaving, stopping, out of step).
    void End(int reason, const std::string& message);
    // The program is ending: the other side is told, then the link closes.
    void Leave();

    // Figures for the --verbose line and the benchmarks.
    uint32_t MeanRoundTripMs() const {
        return rttSamples_ == 0 ? 0 : static_cast<uint32_t>(rttSumMs_ / rttSamples_);
    }
    uint64_t BytesSent() const { return link_->BytesSent(); }
    uint64_t BytesReceived() const { return link_->BytesReceived(); }
    const DropCounts& Drops() const { return drops_; }
    GateCounts Gate() const { return link_->Gate(); }

  private:
    void Handle(const Packet& packet, int64_t nowMs);
    void HandleInputs(const InputsPacket& inputs);
    void CompareHashes();
    void Send(const Packet& packet, bool reliable, int64_t nowMs);
    void FlushSim(int64_t nowMs);

    std::unique_ptr<Link> link_;
    PeerOptions options_;
    std::unique_ptr<NetSim> sim_;
    RollbackSession* session_ = nullptr;
    uint8_t match_ = 0;
    DropCounts drops_;
    int64_t nowMs_ = 0;
    int64_t lastHeardMs_ = -1;
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
    uint64_t rttSumMs_ = 0;
    uint32_t rttSamples_ = 0;
    uint32_t lastRttMs_ = 0;
};

}  // namespace vx::net
