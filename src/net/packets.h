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
constexpr uint8_t kLast = 8;
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
std::string VersionText(const HelloPacket& hello);

// The checked reader: the packet when its size, magic, type, values and (for inputs)
// frame window are right, else nothing and the reason counted. expectedFrame is the
// frame the receiver waits inputs for; inputs must lie within kFrameWindow of it.
std::optional<Packet> ReadPacket(const uint8_t* data, std::size_t size, uint32_t expectedFrame,
                                 DropCounts& drops);

}  // namespace vx::net
