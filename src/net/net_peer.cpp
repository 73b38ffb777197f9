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

namespace {

constexpr const char* kWaitedOutText =
    "The other player could not be reached for 20 seconds: the network match is over.";

}  // namespace

int64_t NetPeer::LinkTime(int64_t clockMs) {
    if (!clockRead_) {
        clockRead_ = true;
        nowMs_ = clockMs;
    } else if (clockMs > lastClockMs_) {
        // The difference is taken unsigned: no reading, however far it jumps, overflows.
        const uint64_t step = static_cast<uint64_t>(clockMs) - static_cast<uint64_t>(lastClockMs_);
        nowMs_ += static_cast<int64_t>(std::min<uint64_t>(step, kLargestClockStepMs));
        // This side itself was away (stopped, or the machine asleep) for that long.
        if (step > static_cast<uint64_t>(kWaitLimitMs)) awayUntilMs_ = nowMs_;
    }
    lastClockMs_ = clockMs;
    return nowMs_;
}

void NetPeer::Attach(RollbackSession* session, uint8_t match) {
    session_ = session;
    match_ = match;
    acked_ = 0;
    remoteFrame_ = 0;
    remoteFrameAtMs_ = nowMs_;
    matchWaitingSinceMs_ = -1;
    lastMatchTurnMs_ = -1;
    ownHashes_ = {};
    theirHashes_ = {};
    difference_ = {};
}

void NetPeer::NoteMatchWaiting(bool waiting) {
    // The first turn after a gap (a pause, the start of a match) begins the count afresh:
    // only turns in a row that could not run for the other side's inputs add up.
    const bool inARow = lastMatchTurnMs_ >= 0 && nowMs_ - lastMatchTurnMs_ <= kLargestClockStepMs;
    if (!waiting)
        matchWaitingSinceMs_ = -1;
    else if (!inARow || matchWaitingSinceMs_ < 0)
        matchWaitingSinceMs_ = nowMs_;
    lastMatchTurnMs_ = nowMs_;
}

int64_t NetPeer::MatchStandingMs() const {
    if (session_ == nullptr || matchWaitingSinceMs_ < 0) return 0;
    if (nowMs_ - lastMatchTurnMs_ > kLargestClockStepMs) return 0;  // the turns stopped: paused
    return lastMatchTurnMs_ - matchWaitingSinceMs_;
}

int64_t NetPeer::WaitingMs() const {
    if (Ended() || !helloSeen_ || lastHeardMs_ < 0) return 0;
    const int64_t waited = std::max(nowMs_ - lastHeardMs_, MatchStandingMs());
    return waited > kWaitShownAfterMs ? waited : 0;
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

void NetPeer::Pump(int64_t clockMs) {
    const int64_t nowMs = LinkTime(clockMs);
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
                // Back from longer away than the other side waits: it gave up on us (its
                // word and its goodbye come together, and ENet hands over only the goodbye).
                if (helloSeen_ && awayUntilMs_ >= 0 && nowMs - awayUntilMs_ <= kLargestClockStepMs)
                    End(end_reason::kSilence, kWaitedOutText);
                else
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
        loss_.Sent(ping.keepAlive.stampMs, nowMs);
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
    // for a guest, from the first knock on the host's door) 5 quiet seconds before the
    // handshake end it. After the handshake the other player may be away kWaitLimitMs:
    // nothing heard, or the match standing still for want of their inputs.
    if (!helloSeen_) {
        const bool waitingForGuest = options_.host && !link_->Connected();
        if (waitingForGuest || nowMs - lastHeardMs_ <= kNoAnswerLimitMs) return;
        if (!options_.host)
            End(end_reason::kNoAnswer,
                "Nobody answered at that address for 5 seconds: check the address and port, and that the "
                "other player has opened a network match.");
        else
            End(end_reason::kSilence, "The other side said nothing for 5 seconds after connecting.");
        return;
    }
    if (std::max(nowMs - lastHeardMs_, MatchStandingMs()) > kWaitLimitMs)
        End(end_reason::kSilence, kWaitedOutText);
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
            } else if (const auto fault =
                           match_settings::Check({p.start.stage, p.start.ruleKind, p.start.timeLimit,
                                                  p.start.scoreLimit, p.start.difficulty})) {
                // A match this side's menu could not choose (nor its replay reader read).
                badSetting_ = fault;
                End(end_reason::kBadSettings,
                    std::string("The other player's program asked for a match with ") +
                        match_settings::FieldName(fault->field) + " " + std::to_string(fault->value) +
                        ", which VOLTRAX does not offer: the network match is over.");
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
            } else if (p.control.kind == control_kind::kWaitedOut) {
                End(end_reason::kSilence, kWaitedOutText);
            } else if (p.control.kind == control_kind::kOutOfStep) {
                NoteDifference(p.control.frame);
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
                loss_.Answered(p.keepAlive.stampMs);
                // A reply held up by a drop says nothing of the path: it would set the
                // input delay long for the rest of the match.
                const uint32_t rtt = static_cast<uint32_t>(nowMs) - p.keepAlive.stampMs;
                if (rtt < kLongestRoundTripMs) {
                    lastRttMs_ = rtt;
                    rttSumMs_ += rtt;
                    ++rttSamples_;
                }
            }
            break;
        case packet_type::kRequest:
            // The guest asks, the host refuses: anything else is out of turn.
            if (options_.host == (p.request.answer == request_answer::kAsk)) {
                request_ = p.request;
            } else {
                ++drops_.badValue;
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

void NetPeer::SendInputs(int64_t clockMs) {
    const int64_t nowMs = LinkTime(clockMs);
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
    uint32_t differs = 0;
    for (const auto& own : ownHashes_) {
        if (own.frame == 0) continue;
        const auto& theirs = theirHashes_[(own.frame / kHashEvery) % theirHashes_.size()];
        if (theirs.frame != own.frame) continue;
        if (theirs.hash != own.hash) {
            differs = differs == 0 ? own.frame : std::min(differs, own.frame);
        } else if (difference_.frame == 0 && own.frame > difference_.lastAgreed) {
            difference_.lastAgreed = own.frame;
            difference_.agreedHash = own.hash;
        }
    }
    if (differs == 0) return;
    NoteDifference(differs);
    End(end_reason::kOutOfStep, "The two sides are out of step: the network match is stopped.");
}

void NetPeer::NoteDifference(uint32_t frame) {
    if (difference_.frame != 0 || frame == 0 || frame % kHashEvery != 0) return;
    difference_.frame = frame;
    if (difference_.lastAgreed >= frame) {
        difference_.lastAgreed = frame - kHashEvery;
        difference_.agreedHash.reset();
    }
    const auto& own = ownHashes_[(frame / kHashEvery) % ownHashes_.size()];
    const auto& theirs = theirHashes_[(frame / kHashEvery) % theirHashes_.size()];
    if (own.frame == frame) difference_.ours = own.hash;
    if (theirs.frame == frame) difference_.theirs = theirs.hash;
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

void NetPeer::SendRequest(uint8_t kind, uint8_t answer) {
    Packet p;
    p.type = packet_type::kRequest;
    p.request = {kind, answer};
    Send(p, true, nowMs_);
}

std::optional<RequestPacket> NetPeer::TakeRequest() {
    auto request = request_;
    request_.reset();
    return request;
}

void NetPeer::End(int reason, const std::string& message) {
    if (Ended()) return;
    endReason_ = reason;
    endMessage_ = message;
    if (reason == end_reason::kOutOfStep) SendControl(control_kind::kOutOfStep, difference_.frame);
    if (reason == end_reason::kStopped) SendControl(control_kind::kStop, 0);
    // The other side may be back by now, or come back later: it hears why it is over.
    if (reason == end_reason::kSilence && helloSeen_) SendControl(control_kind::kWaitedOut, 0);
    if (reason == end_reason::kBadSettings) SendControl(control_kind::kLeave, 0);
    SendEverythingNow();
    // After waiting out the other side, kWaitedOut is the last word: no goodbye follows
    // that could reach a side coming back before it.
    if (reason == end_reason::kSilence) link_->Abandon();
}

// The simulator's held packets go now, and the link's queue: the other side must hear
// the last word.
void NetPeer::SendEverythingNow() {
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
    SendEverythingNow();
    link_->Close();
}

}  // namespace vx::net
