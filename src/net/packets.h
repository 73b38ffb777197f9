// The network match's packets: what each side sends the other, how it is written into
// bytes, and the checked reader that every received packet passes before it is used.
// Packets are small and fixed in shape; nothing is allocated from their contents.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::net {

constexpr uint16_t kProtocolVersion = 1;
constexpr std::size_t kVersionTextBytes = 16;  // the program version, NUL padded
constexpr std::size_t kMaxInputsPerPacket = 64;
constexpr std::size_t kMaxPacketBytes = 64;
// Inputs further than this from the frame the reader expects are refused.
constexpr uint32_t kFrameWindow = 256;
constexpr uint32_t kNoFrame = 0xffffffffu;

namespace packet_type {
constexpr uint8_t kHello = 1;      // versions; the first packet each side sends
constexpr uint8_t kStart = 2;      // host to guest: the match's settings and seed
constexpr uint8_t kInputs = 3;     // a run of the sender's inputs, with its acknowledgement
constexpr uint8_t kControl = 4;    // pause, resume, stop, leave
constexpr uint8_t kChoice = 5;     // the host's choices on the stage select and result screens
constexpr uint8_t kHash = 6;       // the confirmed state's hash every 30 frames
constexpr uint8_t kKeepAlive = 7;  // still here; carries the round-trip stamp
constexpr uint8_t kRequest = 8;    // after a result: the guest asks, the host refuses
// Watchers: strangers that follow the players' matches without playing (watch_*.h).
constexpr uint8_t kWatch = 9;         // watcher to host: its versions (a Hello's body), asking to watch
constexpr uint8_t kWatchStart = 10;   // host to watcher: a match's settings and seed and where it joins
constexpr uint8_t kWatchState = 11;   // host to watcher: a piece of the match state it joins at
constexpr uint8_t kWatchInputs = 12;  // host to watcher: both players' confirmed inputs of some frames
constexpr uint8_t kWatchAck = 13;     // watcher to host: the frames it holds
constexpr uint8_t kWatchEnd = 14;     // host to watcher: why it is let go
constexpr uint8_t kLast = 14;
}  // namespace packet_type

namespace control_kind {
constexpr uint8_t kPause = 1;
constexpr uint8_t kResume = 2;
constexpr uint8_t kStop = 3;   // the match is stopped to the title on both sides
constexpr uint8_t kLeave = 4;  // the sender's program is ending
constexpr uint8_t kOutOfStep = 5;
constexpr uint8_t kWaitedOut = 6;  // the sender waited kWaitLimitMs for this side and gave up
constexpr uint8_t kLast = 6;
}  // namespace control_kind

namespace choice_kind {
constexpr uint8_t kStage = 1;  // value: the stage chosen, 1..kStageCount
constexpr uint8_t kRetry = 2;
constexpr uint8_t kStageSelect = 3;
constexpr uint8_t kTitle = 4;
constexpr uint8_t kSides = 5;  // value: 1 when the guest plays on the left, 0 when the host does
constexpr uint8_t kLast = 5;
}  // namespace choice_kind

// What the guest may ask for on the result screen (the host's own choices answer yes).
namespace request_kind {
constexpr uint8_t kRetry = 1;
constexpr uint8_t kStageSelect = 2;
constexpr uint8_t kLast = 2;
}  // namespace request_kind

namespace request_answer {
constexpr uint8_t kAsk = 0;     // guest to host
constexpr uint8_t kRefuse = 1;  // host to guest
constexpr uint8_t kLast = 1;
}  // namespace request_answer

// Why the host lets a watcher go.
namespace watch_end {
constexpr uint8_t kFull = 1;          // the match has as many watchers as it takes
constexpr uint8_t kTooFarBehind = 2;  // its backlog of unacknowledged inputs grew too long
constexpr uint8_t kClosed = 3;        // the players' connection ended
constexpr uint8_t kLast = 3;
}  // namespace watch_end

constexpr std::size_t kWatchStateChunkBytes = 56;
constexpr std::size_t kMaxWatchInputsPerPacket = 48;
constexpr uint16_t kMaxWatchStateBytes = 16384;

// One frame's keys of one player: bit 0 up, bit 1 down.
using InputBits = uint8_t;

struct HelloPacket {
    uint16_t protocolVersion = kProtocolVersion;
    std::array<char, kVersionTextBytes> programVersion{};
};

struct StartPacket {
    uint8_t stage = 1;
    uint8_t ruleKind = 1;
    int16_t timeLimit = 120;
    int16_t scoreLimit = 10;
    uint8_t difficulty = 35;
    uint64_t seed = 0;
};

struct InputsPacket {
    uint8_t match = 0;             // which match of the connection (a retry is the next)
    uint32_t firstFrame = 0;       // the frame of inputs[0]
    uint32_t ackFrame = kNoFrame;  // the sender holds the receiver's inputs below this
    uint32_t senderFrame = 0;      // the frame the sender is about to run
    uint8_t count = 0;             // 1..kMaxInputsPerPacket
    std::array<InputBits, kMaxInputsPerPacket> inputs{};
};

struct ControlPacket {
    uint8_t kind = 0;
    uint32_t frame = 0;
};

struct ChoicePacket {
    uint8_t kind = 0;
    uint8_t value = 0;
};

struct HashPacket {
    uint8_t match = 0;
    uint32_t frame = 0;  // the hash is of the state after this many frames
    uint64_t hash = 0;
};

// Sent every quarter second by each side and answered at once: the answer's stamp,
// read against the sender's own clock, is the round trip.
struct KeepAlivePacket {
    uint32_t stampMs = 0;
    uint8_t isReply = 0;
};

struct RequestPacket {
    uint8_t kind = 0;
    uint8_t answer = 0;
};

// A match as a watcher follows it: frame 0 with no state is the match's start; a later
// frame comes with the confirmed state there, sent in kWatchState pieces, and its hash.
struct WatchStartPacket {
    uint8_t match = 0;
    StartPacket start;
    uint32_t frame = 0;
    uint16_t stateBytes = 0;  // 0: set the match up from start
    uint64_t stateHash = 0;
};

struct WatchStatePacket {
    uint16_t offset = 0;
    uint8_t count = 0;  // 1..kWatchStateChunkBytes
    std::array<uint8_t, kWatchStateChunkBytes> bytes{};
};

struct WatchInputsPacket {
    uint8_t match = 0;
    uint32_t firstFrame = 0;
    uint8_t count = 0;  // 1..kMaxWatchInputsPerPacket
    // Each frame's inputs: player 1's in bits 0-1, player 2's in bits 2-3.
    std::array<uint8_t, kMaxWatchInputsPerPacket> frames{};
};

struct WatchAckPacket {
    uint8_t match = 0;
    uint32_t frame = 0;  // the watcher holds the inputs below this
};

struct Packet {
    uint8_t type = 0;
    HelloPacket hello;
    StartPacket start;
    InputsPacket inputs;
    ControlPacket control;
    ChoicePacket choice;
    HashPacket hash;
    KeepAlivePacket keepAlive;
    RequestPacket request;
    HelloPacket watch;
    WatchStartPacket watchStart;
    WatchStatePacket watchState;
    WatchInputsPacket watchInputs;
    WatchAckPacket watchAck;
    uint8_t watchEnd = 0;  // a watch_end reason
};

// Why packets were dropped, counted by the reader.
struct DropCounts {
    uint32_t tooShortOrLong = 0;
    uint32_t badMagicOrType = 0;
    uint32_t badValue = 0;
    uint32_t outsideFrameWindow = 0;
    uint32_t wrongSender = 0;  // counted by the link, which knows the sender
    uint32_t Total() const {
        return tooShortOrLong + badMagicOrType + badValue + outsideFrameWindow + wrongSender;
    }
};

// Bytes of one packet, at most kMaxPacketBytes.
using PacketBytes = std::vector<uint8_t>;

PacketBytes Encode(const Packet& packet);
Packet MakeHello(const std::string& programVersion);
// A watcher's request to watch, with the versions it runs.
Packet MakeWatch(const std::string& programVersion);
std::string VersionText(const HelloPacket& hello);

// The checked reader: the packet when its size, magic, type, values and (for inputs)
// frame window are right, else nothing and the reason counted. expectedFrame is the
// frame the receiver waits inputs for; inputs must lie within kFrameWindow of it.
std::optional<Packet> ReadPacket(const uint8_t* data, std::size_t size, uint32_t expectedFrame,
                                 DropCounts& drops);

}  // namespace vx::net
