#include "net/net_peer.h"

#include <algorithm>

namespace vx::net {

NetPeer::NetPeer(std::unique_ptr<Link> link, PeerOptions options)
    : link_(std::move(link)), options_(std::move(options)) {
    if (options_.sim && options_.sim->Active())
        sim_ = std::make_unique<NetSim>(*options_.sim, options_.simSeed);
    link_->SetGreeting(Encode(MakeHello(options_.programVersion)));
}

NetPeer::~NetPeer() = default;

void NetPeer::Attach(RollbackSession* session, uint8_t match) {
    session_ = session;
    match_ = match;
    acked_ = 0;
    remoteFrame_ = 0;
    remoteFrameAtMs_ = nowMs_;
    ownHashes_ = {};
    theirHashes_ = {};
}

void NetPeer::Send(const Packet& packet, bool reliable, int64_t nowMs) {
    if (sim_) {
        sim_->Submit(Encode(packet), reliable, nowMs);
        FlushSim(nowMs);
    } else {
        link_->Send(Encode(packet), reliable);
    }
}

void NetPeer::FlushSim(int64_t nowMs) {
    if (!sim_) return;
    for (const auto& due : sim_->TakeDue(nowMs)) link_->Send(due.bytes, due.reliable);
}

void NetPeer::Pump(int64_t nowMs) {
    nowMs_ = nowMs;
    if (lastHeardMs_ < 0) lastHeardMs_ = nowMs;
    std::vector<LinkEvent> events;
    link_->Poll(events, drops_);
    for (const auto& event : events) {
        if (Ended()) break;
        switch (event.kind) {
            case LinkEvent::Kind::Connected:
                lastHeardMs_ = nowMs;
                if (!event.greeted) Send(MakeHello(options_.programVersion), true, nowMs);
                helloSent_ = true;
                break;
            case LinkEvent::Kind::Disconnected:
                End(end_reason::kPeerLeft, "The other player has left the network match.");
                break;
            case LinkEvent::Kind::Received: {
                const uint32_t expected = session_ != nullptr ? session_->RemoteInputEnd() : 0;
                if (auto packet = ReadPacket(event.bytes.data(), event.bytes.size(), expected, drops_)) {
                    lastHeardMs_ = nowMs;
                    Handle(*packet, nowMs);
                }
                break;
            }
        }
    }
    if (Ended()) return;
    if (link_->Connected() && nowMs - lastKeepAliveMs_ >= kKeepAliveEveryMs) {
        lastKeepAliveMs_ = nowMs;
        Packet ping;
        ping.type = packet_type::kKeepAlive;
        ping.keepAlive.stampMs = static_cast<uint32_t>(nowMs);
        Send(ping, false, nowMs);
    }
    if (session_ != nullptr && Ready()) {
        if (auto hash = session_->TakeConfirmedHash()) {
            ownHashes_[(hash->frame / kHashEvery) % ownHashes_.size()] = *hash;
            Packet p;
            p.type = packet_type::kHash;
            p.hash = *hash;
            p.hash.match = match_;
            Send(p, true, nowMs);
            CompareHashes();
        }
    }
    FlushSim(nowMs);
    link_->Flush();
    // A host waits for its guest as long as the player likes; once a peer is there (or
    // for a guest, from the first knock on the host's door) 5 quiet seconds end it.
    const bool waitingForGuest = options_.host && !link_->Connected() && !helloSeen_;
    if (waitingForGuest || nowMs - lastHeardMs_ <= kSilenceLimitMs) return;
    if (!options_.host && !helloSeen_)
        End(end_reason::kNoAnswer,
            "Nobody answered at that address for 5 seconds: check the address and port, and that the other "
            "player has opened a network match.");
    else
        End(end_reason::kSilence,
            "Nothing has come from the other player for 5 seconds: the network match is over.");
}

void NetPeer::Handle(const Packet& p, int64_t nowMs) {
    if (p.type == packet_type::kHello) {
        helloSeen_ = true;
        const std::string theirs = VersionText(p.hello);
        theirVersion_ = theirs;
        theirProtocol_ = p.hello.protocolVersion;
        if (p.hello.protocolVersion != kProtocolVersion || theirs != options_.programVersion) {
            End(end_reason::kVersionMismatch,
                "The other player runs VOLTRAX " + theirs + " (network protocol " +
                    std::to_string(p.hello.protocolVersion) + "); this is VOLTRAX " +
                    options_.programVersion + " (network protocol " + std::to_string(kProtocolVersion) +
                    "). Both need the same version.");
        }
        return;
    }
    if (!helloSeen_) {
        ++drops_.badValue;  // nothing counts before the versions agree
        return;
    }
    switch (p.type) {
        case packet_type::kStart:
            if (options_.host) {
                ++drops_.badValue;  // only the host starts matches
            } else {
                start_ = p.start;
            }
            break;
        case packet_type::kInputs:
            if (session_ == nullptr || p.inputs.match != match_) {
                ++drops_.badValue;
            } else {
                HandleInputs(p.inputs);
            }
            break;
        case packet_type::kControl:
            if (p.control.kind == control_kind::kLeave) {
                End(end_reason::kPeerLeft, "The other player has left the network match.");
            } else if (p.control.kind == control_kind::kOutOfStep) {
                End(end_reason::kOutOfStep, "The two sides are out of step: the network match is stopped.");
            } else if (controls_.size() < kQueueLimit) {
                controls_.push_back(p.control);
            }
            break;
        case packet_type::kChoice:
            if (options_.host) {
                ++drops_.badValue;  // only the host chooses
            } else if (choices_.size() < kQueueLimit) {
                choices_.push_back(p.choice);
            }
            break;
        case packet_type::kHash:
            if (p.hash.match == match_ && p.hash.frame % kHashEvery == 0 && p.hash.frame > 0) {
                theirHashes_[(p.hash.frame / kHashEvery) % theirHashes_.size()] = p.hash;
                CompareHashes();
            } else {
                ++drops_.badValue;
            }
            break;
        case packet_type::kKeepAlive:
            if (p.keepAlive.isReply == 0) {
                Packet reply = p;
                reply.keepAlive.isReply = 1;
                Send(reply, false, nowMs);
            } else {
                const uint32_t rtt = static_cast<uint32_t>(nowMs) - p.keepAlive.stampMs;
                if (rtt < 60000) {
                    lastRttMs_ = rtt;
                    rttSumMs_ += rtt;
                    ++rttSamples_;
                }
            }
            break;
        default: break;
    }
}

void NetPeer::HandleInputs(const InputsPacket& in) {
    for (uint32_t i = 0; i < in.count; ++i) session_->AddRemoteInput(in.firstFrame + i, in.inputs[i]);
    // The latest word, not the largest: a forged acknowledgement far ahead would stop
    // the resending of inputs the other side lacks; the next true one undoes it.
    if (in.ackFrame != kNoFrame) acked_ = std::min(in.ackFrame, session_->LocalInputEnd());
    if (in.senderFrame >= remoteFrame_) {
        remoteFrame_ = in.senderFrame;
        remoteFrameAtMs_ = nowMs_;
    }
}

void NetPeer::SendInputs(int64_t nowMs) {
    if (session_ == nullptr || !Ready()) return;
    const uint32_t end = session_->LocalInputEnd();
    constexpr auto kWindow = static_cast<uint32_t>(kMaxInputsPerPacket);
    const uint32_t first = std::max(acked_, end > kWindow ? end - kWindow : 0u);
    Packet p;
    p.type = packet_type::kInputs;
    p.inputs.match = match_;
    p.inputs.ackFrame = session_->RemoteInputEnd();
    p.inputs.senderFrame = session_->Frame();
    // With nothing new the packet still carries the acknowledgement and the frame, with
    // the last input again (the reader refuses empty runs).
    p.inputs.firstFrame = first < end ? first : (end > 0 ? end - 1 : 0);
    if (end == 0) return;
    p.inputs.count = static_cast<uint8_t>(end - p.inputs.firstFrame);
    for (uint32_t i = 0; i < p.inputs.count; ++i)
        p.inputs.inputs[i] = session_->LocalInput(p.inputs.firstFrame + i);
    Send(p, false, nowMs);
}

int32_t NetPeer::FrameAdvantage() const {
    if (session_ == nullptr) return 0;
    // The other side has moved on since its last word by the time the word took and the
    // time since it came.
    const int64_t sinceMs = nowMs_ - remoteFrameAtMs_ + lastRttMs_ / 2;
    const int64_t remoteNow = remoteFrame_ + sinceMs / kFrameMs;
    return static_cast<int32_t>(static_cast<int64_t>(session_->Frame()) - remoteNow);
}

void NetPeer::CompareHashes() {
    for (const auto& own : ownHashes_) {
        if (own.frame == 0) continue;
        const auto& theirs = theirHashes_[(own.frame / kHashEvery) % theirHashes_.size()];
        if (theirs.frame == own.frame && theirs.hash != own.hash) {
            End(end_reason::kOutOfStep, "The two sides are out of step: the network match is stopped.");
            return;
        }
    }
}

void NetPeer::SendStart(const StartPacket& start) {
    Packet p;
    p.type = packet_type::kStart;
    p.start = start;
    Send(p, true, nowMs_);
}

std::optional<StartPacket> NetPeer::TakeStart() {
    auto start = start_;
    start_.reset();
    return start;
}

void NetPeer::SendControl(uint8_t kind, uint32_t frame) {
    Packet p;
    p.type = packet_type::kControl;
    p.control = {kind, frame};
    Send(p, true, nowMs_);
}

std::optional<ControlPacket> NetPeer::TakeControl() {
    if (controls_.empty()) return std::nullopt;
    const auto c = controls_.front();
    controls_.erase(controls_.begin());
    return c;
}

void NetPeer::SendChoice(uint8_t kind, uint8_t value) {
    Packet p;
    p.type = packet_type::kChoice;
    p.choice = {kind, value};
    Send(p, true, nowMs_);
}

std::optional<ChoicePacket> NetPeer::TakeChoice() {
    if (choices_.empty()) return std::nullopt;
    const auto c = choices_.front();
    choices_.erase(choices_.begin());
    return c;
}

void NetPeer::End(int reason, const std::string& message) {
    if (Ended()) return;
    endReason_ = reason;
    endMessage_ = message;
    if (reason == end_reason::kOutOfStep) SendControl(control_kind::kOutOfStep, 0);
    if (reason == end_reason::kStopped) SendControl(control_kind::kStop, 0);
    // The simulator's held packets go now: the other side must hear the last word.
    if (sim_)
        for (const auto& due : sim_->TakeDue(INT64_MAX)) link_->Send(due.bytes, due.reliable);
    link_->Flush();
}

void NetPeer::Leave() {
    if (!Ended()) {
        SendControl(control_kind::kLeave, 0);
        endReason_ = end_reason::kPeerLeft;
        endMessage_ = "This side left the network match.";
    }
    if (sim_)
        for (const auto& due : sim_->TakeDue(INT64_MAX)) link_->Send(due.bytes, due.reliable);
    link_->Flush();
    link_->Close();
}

}  // namespace vx::net
