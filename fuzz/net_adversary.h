// A network match between two honest sides (each a Game's NetPeer and NetMatch over an
// in-memory link) through a channel that a tape of bytes steers: each unreliable packet
// is passed, dropped, doubled, held back and let out later, or changed in one byte
// (reliable ones arrive once and in order, as ENet delivers them), and any packet may be
// followed by a forged one (inputs with any acknowledgement and sender frame, hashes, start packets
// the reader accepts, controls, choices, keep-alives). When the tape runs out the channel
// turns clean. Checked throughout: the confirmed inputs of a match never change; at the
// end: each side has ended, or its match is over, or it moved on once the channel was
// clean; and every replay of a match reads back to itself and checks. Header-only, plain
// C++: fuzz/net_adversary_fuzz.cpp runs it under the sanitizers and
// tests/net/net_adversary_test.cpp runs a fixed set of tapes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "match/replay_check.h"
#include "match/replay_file.h"
#include "net/link.h"
#include "net/net_match.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"

namespace vx::testing {

// Bytes handed out one at a time; zeros once they are used up.
class ByteTape {
  public:
    ByteTape(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
        return v;
    }

  private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A link whose packets are handed in and taken out by the harness.
class MemoryLink : public net::Link {
  public:
    void SetGreeting(const net::PacketBytes&) override {}
    void Poll(std::vector<net::LinkEvent>& events, net::DropCounts&) override {
        if (closed_) return;
        if (!announced_) events.push_back({net::LinkEvent::Kind::Connected, {}}), announced_ = true;
        for (auto& bytes : inbox) {
            if (bytes.size() > net::kMaxPacketBytes + 1) bytes.resize(net::kMaxPacketBytes + 1);
            events.push_back({net::LinkEvent::Kind::Received, std::move(bytes)});
        }
        inbox.clear();
    }
    void Send(const net::PacketBytes& bytes, bool reliable) override {
        if (closed_) return;
        outbox.push_back({bytes, reliable});
        sent_ += bytes.size();
    }
    void Flush() override {}
    void Close() override { closed_ = true; }
    bool Connected() const override { return !closed_; }
    uint64_t BytesSent() const override { return sent_; }
    uint64_t BytesReceived() const override { return 0; }

    struct Sent {
        net::PacketBytes bytes;
        bool reliable;
    };
    std::vector<Sent> outbox;
    std::vector<net::PacketBytes> inbox;

  private:
    bool announced_ = false;
    bool closed_ = false;
    uint64_t sent_ = 0;
};

class NetAdversary {
  public:
    static constexpr int64_t kStepMs = 3;
    static constexpr int64_t kTapeLimitMs = 20000;  // the tape's part of a run, at most
    // Once the channel is clean, a side must move on or end within this.
    static constexpr int64_t kEndWithinMs = net::kWaitLimitMs + 2000;
    static constexpr uint32_t kMovedOnFrames = 30;  // a second of play

    NetAdversary() : host_(true, 11), guest_(false, 12) {}

    // Plays the tape; returns what went wrong, or nothing.
    std::string Run(const uint8_t* data, std::size_t size) {
        ByteTape tape(data, size);
        int64_t now = 1;
        for (; now < kTapeLimitMs && !tape.Empty() && failure_.empty(); now += kStepMs) Step(now, &tape);
        // The channel is clean from here: whatever the tape did, the match moves on or ends.
        const uint32_t hostFrom = host_.Progress(), guestFrom = guest_.Progress();
        const int64_t cleanFrom = now;
        auto settled = [&](const Side& side, uint32_t from) {
            return side.peer.Ended() || side.Over() || side.Progress() >= from + kMovedOnFrames;
        };
        for (; now < cleanFrom + kEndWithinMs && failure_.empty() &&
               !(settled(host_, hostFrom) && settled(guest_, guestFrom));
             now += kStepMs)
            Step(now, nullptr);
        for (Side* side : {&host_, &guest_}) {
            const uint32_t from = side == &host_ ? hostFrom : guestFrom;
            const bool movedOn = side->Progress() >= from + kMovedOnFrames;
            if (failure_.empty() && !side->peer.Ended() && !side->Over() && !movedOn && side->match)
                failure_ = std::string(side->Name()) + " neither moved on nor ended with a clean channel (" +
                           side->Describe() + "; the other: " + (side == &host_ ? guest_ : host_).Describe() +
                           ")";
        }
        for (Side* side : {&host_, &guest_}) CheckReplay(*side);
        return failure_;
    }

  private:
    struct Side {
        Side(bool isHost, uint64_t seed)
            : host(isHost),
              game(Shared(isHost ? 0 : 1)),
              link(new MemoryLink),
              peer(std::unique_ptr<net::Link>(link), net::PeerOptions{isHost, "2.1", std::nullopt, seed}) {
            // A match takes everything from its start packet but the keys held.
            game.KeyFlags = {};
        }
        const char* Name() const { return host ? "the host" : "the guest"; }
        bool Over() const { return match && match->Session().EndFrame().has_value(); }
        // Frames confirmed over all matches: grows while the connection moves on.
        uint32_t Progress() const { return pastFrames + (match ? match->Session().Confirmed() : 0); }

        std::string Describe() const {
            std::string text = "match " + std::to_string(matchNo);
            if (match) {
                const auto& session = match->Session();
                text += ", frame " + std::to_string(session.Frame()) + ", confirmed " +
                        std::to_string(session.Confirmed()) + ", own inputs to " +
                        std::to_string(session.LocalInputEnd()) + ", theirs to " +
                        std::to_string(session.RemoteInputEnd());
            }
            return text + (peer.Ready() ? ", ready" : ", not ready");
        }

        bool host;
        Game& game;
        MemoryLink* link;
        net::NetPeer peer;
        std::unique_ptr<net::NetMatch> match;
        uint8_t matchNo = 0;
        uint32_t pastFrames = 0;
        int64_t nextFrameMs = 0;
        std::vector<std::array<net::InputBits, 2>> seen;  // confirmed inputs checked so far
        uint32_t keys = 0;
    };

    // The two sides' Games, made once: a Game's pictures cost far more than a run.
    struct SharedGame {
        explicit SharedGame(uint64_t seed)
            : random(seed, [] { return uint64_t{12345}; }),
              files(Folder()),
              game(GamePlatform{random, files, nullHost, silentWaves, silentMusic}) {}
        MixingRandom random;
        ProgramFiles files;
        NullHost nullHost;
        SilentWavePlayer silentWaves;
        SilentSequencer silentMusic;
        Game game;
    };
    static Game& Shared(int side) {
        static SharedGame games[2] = {SharedGame(11), SharedGame(12)};
        return games[side].game;
    }
    // An empty program folder of this process's own, removed when it ends.
    static std::filesystem::path Folder() {
        static const struct Made {
            Made()
                : path(std::filesystem::temp_directory_path() /
                       ("voltrax-net-adversary-" + std::to_string(getpid()))) {
                std::filesystem::create_directories(path / "dat");
            }
            ~Made() {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
            std::filesystem::path path;
        } made;
        return made.path;
    }

    void StartMatch(Side& side, const net::StartPacket& start) {
        if (side.match) {
            CheckReplay(side);
            side.pastFrames += side.match->Session().Confirmed();
        }
        side.match.reset();
        side.seen.clear();
        side.match =
            std::make_unique<net::NetMatch>(side.game, side.peer, side.host ? 0 : 1, start, ++side.matchNo);
    }

    void Turn(Side& side, int64_t now, ByteTape* tape) {
        const bool frameDue = now >= side.nextFrameMs;
        if (frameDue) side.nextFrameMs = now + net::kFrameMs;
        if (side.match && frameDue && !side.peer.Ended()) {
            side.keys = side.keys * 1103515245u + 12345u;
            side.match->Tick(now, static_cast<net::InputBits>((side.keys >> 16) & 3u));
            CheckConfirmed(side);
        } else {
            side.peer.Pump(now);
        }
        if (side.peer.Ended()) return;
        // The host starts a match when none runs (or the last is over), as its player would.
        if (side.host && side.peer.Ready() && (!side.match || side.Over())) {
            net::StartPacket start;
            const uint8_t pick = tape ? tape->Byte() : 0;
            start.stage = static_cast<uint8_t>(1 + pick % 5);
            start.ruleKind = (pick & 0x10) ? rule_kind::kScore : rule_kind::kTime;
            start.timeLimit = 60;
            start.scoreLimit = 10;
            start.difficulty = 35;
            start.seed = 0x5eed + side.matchNo;
            side.peer.SendStart(start);
            side.peer.SendChoice(net::choice_kind::kStage, start.stage);
            StartMatch(side, start);
        }
        // The guest follows a choice with the start it names, as the window does.
        if (!side.host && (!side.match || side.Over())) {
            if (const auto choice = side.peer.TakeChoice()) {
                if (choice->kind == net::choice_kind::kStage || choice->kind == net::choice_kind::kRetry)
                    if (const auto start = side.peer.TakeStart()) StartMatch(side, *start);
            }
        }
        while (side.peer.TakeControl()) {
        }
    }

    void CheckConfirmed(Side& side) {
        const auto& now = side.match->ConfirmedInputs();
        if (now.size() < side.seen.size() || !std::equal(side.seen.begin(), side.seen.end(), now.begin())) {
            if (failure_.empty()) failure_ = std::string(side.Name()) + ": a confirmed input changed";
            return;
        }
        side.seen.assign(now.begin(), now.end());
    }

    void CheckReplay(Side& side) {
        if (!side.match || side.match->ConfirmedInputs().empty() || !failure_.empty()) return;
        const Replay replay = side.match->ReplayOf();
        Replay back;
        std::string error;
        if (!DecodeReplay(EncodeReplay(replay), back, error)) {
            failure_ = std::string(side.Name()) + "'s replay does not read back: " + error;
        } else if (!(back == replay)) {
            failure_ = std::string(side.Name()) + "'s replay reads back different";
        } else if (!side.Over()) {
            // Cut short: ReplayOf took its scores and hash from playing it through already.
        } else if (const ReplayOutcome outcome = vx::CheckReplay(back); !outcome.agrees) {
            failure_ = std::string(side.Name()) + "'s replay does not check: " + DescribeOutcome(outcome);
        }
    }

    // A packet the reader takes, its fields from the tape.
    static net::PacketBytes Forge(ByteTape& tape, const Side& to) {
        net::Packet p;
        p.type = static_cast<uint8_t>(1 + tape.Byte() % net::packet_type::kLast);
        const uint32_t near = to.match ? to.match->Session().RemoteInputEnd() : 0;
        auto frameNear = [&] { return near + static_cast<uint32_t>(static_cast<int8_t>(tape.Byte())); };
        switch (p.type) {
            case net::packet_type::kHello: p = net::MakeHello(tape.Byte() & 1 ? "2.1" : "0.9"); break;
            case net::packet_type::kStart: {
                // Any start the reader accepts: raw bytes until one passes.
                for (int tries = 0; tries < 8; ++tries) {
                    net::PacketBytes raw = {'V', 'X', net::packet_type::kStart};
                    for (int i = 0; i < 15; ++i) raw.push_back(tape.Byte());
                    raw[3] = static_cast<uint8_t>(1 + raw[3] % 5);
                    raw[4] = static_cast<uint8_t>(1 + raw[4] % 2);
                    net::DropCounts drops;
                    if (net::ReadPacket(raw.data(), raw.size(), 0, drops)) return raw;
                }
                break;
            }
            case net::packet_type::kInputs:
                p.inputs.match = static_cast<uint8_t>(to.matchNo + (tape.Byte() % 3) - 1);
                p.inputs.firstFrame = frameNear();
                p.inputs.ackFrame = tape.Byte() & 1 ? net::kNoFrame : frameNear();
                p.inputs.senderFrame = frameNear();
                p.inputs.count = static_cast<uint8_t>(1 + tape.Byte() % net::kMaxInputsPerPacket);
                for (auto& in : p.inputs.inputs) in = tape.Byte() & 3u;
                break;
            case net::packet_type::kControl:
                p.control = {static_cast<uint8_t>(1 + tape.Byte() % 3), tape.U32()};
                break;
            case net::packet_type::kChoice:
                p.choice = {static_cast<uint8_t>(1 + tape.Byte() % net::choice_kind::kLast),
                            static_cast<uint8_t>(1 + tape.Byte() % 5)};
                break;
            case net::packet_type::kHash:
                p.hash = {to.matchNo, static_cast<uint32_t>(tape.Byte()) * net::kHashEvery, tape.U32()};
                break;
            case net::packet_type::kKeepAlive:
                p.keepAlive = {tape.U32(), static_cast<uint8_t>(tape.Byte() & 1)};
                break;
        }
        return net::Encode(p);
    }

    // Carries what from sent to to's inbox, as the tape says.
    void Carry(Side& from, Side& to, ByteTape* tape, std::deque<net::PacketBytes>& held) {
        for (auto& sent : from.link->outbox) {
            if (tape == nullptr) {
                to.link->inbox.push_back(std::move(sent.bytes));
                continue;
            }
            const uint8_t action = tape->Byte();
            if (sent.reliable) {
                // ENet delivers these once, whole and in order; forged ones may follow.
                to.link->inbox.push_back(std::move(sent.bytes));
                if (action % 8 >= 6) to.link->inbox.push_back(Forge(*tape, to));
                continue;
            }
            switch (action % 8) {
                case 0: break;                                                  // lost
                case 1: to.link->inbox.push_back(sent.bytes); [[fallthrough]];  // doubled
                case 2:
                case 3: to.link->inbox.push_back(std::move(sent.bytes)); break;
                case 4: held.push_back(std::move(sent.bytes)); break;  // comes later, out of order
                case 5:
                    if (!sent.bytes.empty()) sent.bytes[tape->Byte() % sent.bytes.size()] ^= tape->Byte();
                    to.link->inbox.push_back(std::move(sent.bytes));
                    break;
                default:
                    to.link->inbox.push_back(std::move(sent.bytes));
                    to.link->inbox.push_back(Forge(*tape, to));
                    break;
            }
        }
        from.link->outbox.clear();
        const bool release = tape == nullptr || tape->Byte() % 4 == 0;
        while (release && !held.empty()) {
            to.link->inbox.push_back(std::move(held.front()));
            held.pop_front();
        }
    }

    void Step(int64_t now, ByteTape* tape) {
        Turn(host_, now, tape);
        Turn(guest_, now + 13, tape);
        Carry(host_, guest_, tape, heldForGuest_);
        Carry(guest_, host_, tape, heldForHost_);
    }

    Side host_;
    Side guest_;
    std::deque<net::PacketBytes> heldForGuest_;
    std::deque<net::PacketBytes> heldForHost_;
    std::string failure_;
};

}  // namespace vx::testing
